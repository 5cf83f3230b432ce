#include "Application.h"
#include "MainForm.h"

int main(int argc, char *argv[])
{
    TVantrelApp app(argc, argv);
    TMainForm form;
    form.show();
    return app.exec();
}
