// Every file of the fuzzing corpus, the crashes found included, through the same entry points
// libFuzzer drives, here under the test build's sanitizers: a fixed crash stays fixed.

#include "FuzzEntries.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

struct Target {
    const char* folder;
    int (*entry)(const std::uint8_t*, std::size_t);
};

TEST(FuzzCorpus, EveryFileRunsCleanThroughItsParser) {
    const Target targets[] = {
        {"picture", vexa::fuzz::pictureEntry},
        {"settings", vexa::fuzz::settingsEntry},
        {"version", vexa::fuzz::versionEntry},
        {"effectArguments", vexa::fuzz::effectArgumentsEntry},
        {"project", vexa::fuzz::projectEntry},
    };
    for (const Target& target : targets) {
        const QDir corpus(vexa::test::sourceDir() + "/fuzz/corpus/" + target.folder);
        const QStringList files = corpus.entryList(QDir::Files, QDir::Name);
        EXPECT_FALSE(files.isEmpty()) << target.folder;
        for (const QString& name : files) {
            SCOPED_TRACE(std::string(target.folder) + "/" + name.toStdString());
            QFile file(corpus.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            EXPECT_EQ(target.entry(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   std::size_t(bytes.size())),
                      0);
        }
    }
}

} // namespace
