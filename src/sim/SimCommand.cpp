#include "SimCommand.h"

namespace {

bool ParseInt(const QByteArray &text, qint32 &value)
{
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (ok)
        value = v;
    return ok;
}

} // namespace

TSimCommand TSimCommand::Parse(const QByteArray &line)
{
    using K = TKind;
    const QList<QByteArray> words = line.simplified().split(' ');
    TSimCommand cmd;
    const QByteArray &name = words.first();
    if (words.size() == 1) {
        if (name == "z1") cmd.Kind = K::SeriesOn;
        else if (name == "z0") cmd.Kind = K::SeriesOff;
        else if (name == "w") cmd.Kind = K::Version;
        else if (name == "c") cmd.Kind = K::XtalCheckOn;
        else if (name == "o") cmd.Kind = K::XtalCheckOff;
    } else if (words.size() == 2 && (name == "f" || name == "x")) {
        if (ParseInt(words[1], cmd.A))
            cmd.Kind = name == "f" ? K::SetFreq : K::SetXtal;
    } else if (words.size() == 3 && name == "r") {
        if (ParseInt(words[1], cmd.A) && ParseInt(words[2], cmd.B))
            cmd.Kind = K::Sweep;
    }
    return cmd;
}

QList<QByteArray> TCommandSplitter::Feed(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    for (const char c : bytes) {
        const bool afterCR = FAfterCR;
        FAfterCR = c == '\r';
        if (c == '\n' && afterCR)
            continue;
        if (c == '\r' || c == '\n') {
            lines.append(FPending);
            FPending.clear();
        } else {
            FPending.append(c);
        }
    }
    return lines;
}

void TCommandSplitter::Reset()
{
    FPending.clear();
    FAfterCR = false;
}
