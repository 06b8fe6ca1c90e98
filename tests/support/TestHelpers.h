#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <string>

// A path as the store's bytes.
inline std::string bytes(const QString& s) { return s.toLocal8Bit().toStdString(); }

inline void writeFile(const QString& path, const QByteArray& content, bool executable = false)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(content);
    f.close();
    if (executable)
        f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ReadOwner);
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

// Runs the current test again in a fresh process of this test program, with env, and
// gives back what it printed. For what a process keeps for its whole life (GIO reads the
// XDG folders once) or holds as a whole (fcntl locks are per process): the test tells
// the two runs apart by a variable of its own in env.
inline QByteArray runThisTestInChild(const QProcessEnvironment& env)
{
    const ::testing::TestInfo* me = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QString("--gtest_filter=%1.%2").arg(me->test_suite_name(), me->name())});
    const bool finished = child.waitForFinished(60000);
    const QByteArray output = child.readAll();
    EXPECT_TRUE(finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0)
        << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test.")) << output.toStdString(); // it ran
    return output;
}
