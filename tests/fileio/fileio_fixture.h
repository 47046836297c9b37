#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "format/failure.h"
#include "support/failing_disk.h"

// A scratch folder and the file helpers the file tests share.
struct FileioFixture : ::testing::Test {
    QTemporaryDir dir;

    QString Path(const QString& name) const { return dir.filePath(name); }

    /// a new folder in the scratch folder, as the name the system calls take
    std::string Folder(const QString& name) const {
        EXPECT_TRUE(QDir(dir.path()).mkpath(name));
        return QFile::encodeName(Path(name)).toStdString();
    }

    static QByteArray Read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    static void Put(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    /// the names in a folder, hidden ones included
    static QStringList Entries(const QString& folder) {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    /// the text of the Failure the call raised, or "no failure"
    template <typename Call>
    static std::string FailureText(Call call) {
        try {
            call();
        } catch (const Failure& f) {
            return f.text().toStdString();
        }
        return "no failure";
    }
};
