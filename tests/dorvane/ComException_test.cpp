#include "ComException.h"

#include "com/registry.h"
#include "com/tempregistry.h"
#include "fakedialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class Log : public ::testing::Test {
protected:
    void SetUp() override { setFolder(dir.path()); }
    void setFolder(const QString &folder)
    {
        com::registry::writeString(HKEY_LOCAL_MACHINE, "Software\\Karrowin\\Developer\\8.0", "Install Location",
                                   folder.toStdString());
    }
    QString path() const { return dir.filePath("kride.log"); }
    void fill(qint64 size)
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QByteArray data(size, 'x');
        for (qint64 i = 0; i < size; ++i)
            data[i] = char('a' + i % 26);
        f.write(data);
    }
    QByteArray contents() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    TempRegistry registry;
    QTemporaryDir dir;
    FakeDialogs dialogs;
};

} // namespace

TEST_F(Log, EntryFormat)
{
    ASSERT_TRUE(AppendToLog("/src/dorvane/General.cpp", 57, QStringLiteral("first")));
    ASSERT_TRUE(AppendToLog("Interface.cpp", 9, QStringLiteral("ends with a line feed\n")));
    EXPECT_EQ(contents(), QByteArray("General.cpp 57: first\nInterface.cpp 9: ends with a line feed\n"));
}

TEST_F(Log, GrowingPastTheLimitKeepsExactlyTheLastTenThousandBytes)
{
    const QByteArray entry = "X.cpp 1: m\n";
    struct Case {
        qint64 before;
        bool trimmed;
    } cases[] = {{20001 - entry.size(), true}, {20000 - entry.size(), false}, {30000, true}};
    for (const auto &c : cases) {
        fill(c.before);
        QByteArray expected = contents() + entry;
        ASSERT_TRUE(AppendToLog("X.cpp", 1, QStringLiteral("m")));
        if (c.trimmed)
            expected = expected.right(10000);
        EXPECT_EQ(contents().size(), expected.size()) << c.before;
        EXPECT_EQ(contents(), expected) << c.before;
    }
}

TEST_F(Log, NoLocationOrTooLongAPathLogsNothing)
{
    setFolder(QString(260 - 10, QLatin1Char('d')));
    EXPECT_FALSE(AppendToLog("X.cpp", 1, QStringLiteral("m")));
    setFolder(dir.filePath("missing-folder"));
    EXPECT_FALSE(AppendToLog("X.cpp", 1, QStringLiteral("m")));
    RegDeleteTree(HKEY_LOCAL_MACHINE, "Software");
    EXPECT_FALSE(AppendToLog("X.cpp", 1, QStringLiteral("m")));
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(Log, ReportingCutsLongMessagesAndShowsWhatCannotBeLogged)
{
    ReportException(std::runtime_error(std::string(600, 'q')), "P.cpp", 3);
    EXPECT_EQ(contents(), "P.cpp 3: " + QByteArray(512, 'q') + "\n");
    EXPECT_TRUE(dialogs.asked.empty());

    RegDeleteTree(HKEY_LOCAL_MACHINE, "Software");
    ReportException(std::runtime_error(""), "P.cpp", 4);
    ReportException(CComException(E_FAIL, "boom"), "P.cpp", 5);
    ASSERT_EQ(dialogs.messages().size(), 2u);
    EXPECT_EQ(dialogs.messages()[0].text, QStringLiteral("Unknown exception encountered when trying to log exception"));
    EXPECT_EQ(dialogs.messages()[1].text, QStringLiteral("boom"));
    EXPECT_EQ(dialogs.messages()[1].caption, QStringLiteral("Error"));
}

TEST(ComException, DescriptionFallsBackToSystemMessageThenUnknownError)
{
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(CComException::Describe(E_NOINTERFACE, nullptr, IID_IUnknown), "No such interface supported");
    EXPECT_EQ(CComException::Describe(MAKE_HRESULT(1, FACILITY_ITF, 2000), nullptr, IID_IUnknown), "Unknown error");
    try {
        CheckHost(E_POINTER, nullptr, IID_IUnknown);
        ADD_FAILURE() << "no exception";
    } catch (const CComException &e) {
        EXPECT_EQ(e.GetHResult(), E_POINTER);
        EXPECT_EQ(e.GetErrorMessage(), "Invalid pointer");
    }
    EXPECT_NO_THROW(CheckHost(S_FALSE, nullptr, IID_IUnknown));
}
