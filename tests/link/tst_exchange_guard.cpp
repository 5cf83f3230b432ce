#include "ErrorOf.h"
#include "ExchangeGuard.h"

#include <QTimer>
#include <QtTest>

#include <thread>

using namespace Vantrel;

namespace {

const QString kBusy = QString::fromLatin1(kAnalyzerBusy);

QString TryExchange()
{
    return ErrorOf([] { TExchange exchange; });
}

QString TryExchangeOnOtherThread()
{
    QString error;
    std::thread other([&] { error = TryExchange(); });
    other.join();
    return error;
}

} // namespace

class TestExchangeGuard : public QObject
{
    Q_OBJECT
private slots:
    void sameThreadNestsAndReleases();
    void otherThreadIsRefusedWhileHeld();
    void uiEventWhileYieldingIsRefused();
    void refusedAttemptLeavesTheHolderIntact();
};

void TestExchangeGuard::sameThreadNestsAndReleases()
{
    QVERIFY(!ExchangeBusy());
    {
        TExchange outer;
        QVERIFY(ExchangeBusy());
        {
            TExchange inner;
            QVERIFY(ExchangeBusy());
        }
        QVERIFY(ExchangeBusy());  // the inner exchange did not release the outer one
        QCOMPARE(TryExchangeOnOtherThread(), kBusy);
    }
    QVERIFY(!ExchangeBusy());
    QCOMPARE(TryExchangeOnOtherThread(), QString());
}

void TestExchangeGuard::otherThreadIsRefusedWhileHeld()
{
    std::atomic<bool> held = false, release = false;
    std::thread holder([&] {
        TExchange exchange;
        held = true;
        while (!release)
            std::this_thread::yield();
    });
    while (!held)
        std::this_thread::yield();
    QVERIFY(ExchangeBusy());
    QCOMPARE(TryExchange(), kBusy);
    // Events and their handlers are refused the same way.
    QString fromEvent = QStringLiteral("not run");
    QTimer::singleShot(0, this, [&] { fromEvent = TryExchange(); });
    ProcessUiEvents();
    QCOMPARE(fromEvent, kBusy);
    release = true;
    holder.join();
    QCOMPARE(TryExchange(), QString());
}

void TestExchangeGuard::uiEventWhileYieldingIsRefused()
{
    QString fromEvent = QStringLiteral("not run");
    {
        TExchange exchange;
        TExchange nested;
        QTimer::singleShot(0, this, [&] { fromEvent = TryExchange(); });
        ProcessUiEvents();
        QCOMPARE(fromEvent, kBusy);
        // After yielding the holder may nest again.
        QCOMPARE(TryExchange(), QString());
    }
    // Without a holder the same event gets its exchange.
    QTimer::singleShot(0, this, [&] { fromEvent = TryExchange(); });
    ProcessUiEvents();
    QCOMPARE(fromEvent, QString());
}

void TestExchangeGuard::refusedAttemptLeavesTheHolderIntact()
{
    {
        TExchange exchange;
        for (int i = 0; i < 3; ++i)
            QCOMPARE(TryExchangeOnOtherThread(), kBusy);
        TUiYield yield;
        QCOMPARE(TryExchange(), kBusy);
        QVERIFY(ExchangeBusy());
    }
    QVERIFY(!ExchangeBusy());
    QCOMPARE(TryExchangeOnOtherThread(), QString());
}

QTEST_GUILESS_MAIN(TestExchangeGuard)
#include "tst_exchange_guard.moc"
