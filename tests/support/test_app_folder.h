// A fresh staged application folder for one test.
#pragma once

#include <QString>
#include <QTemporaryDir>

// Creates <tmp>/bin with Images/, LUT/, Logs/ and the data folders one level
// up (copied from the source tree's resources/), and points ApplicationDirPath()
// at <tmp>/bin while it lives. Constructed once per test function or per
// test case, as the test needs.
class TestAppFolder
{
public:
    TestAppFolder();
    ~TestAppFolder();

    bool isValid() const { return m_Dir.isValid(); }
    QString binPath() const;    // the application folder
    QString rootPath() const;   // one level up
    QString filePath(const QString& p_sRelativeToBin) const;

private:
    QTemporaryDir m_Dir;
};
