#include <QtTest>
class RegisterWindowsTest : public QObject { Q_OBJECT };
QTEST_MAIN(RegisterWindowsTest)
#include "register_windows_test.moc"
