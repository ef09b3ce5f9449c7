// Replays the fuzz target's seed corpus, and a fixed set of mutations of it,
// through the same entry function the fuzzer uses.
#include "fuzz/xml/XmlFuzzEntry.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<std::string> CorpusFiles()
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(KELVANE_SOURCE_DIR) + "/fuzz/xml/corpus"))
        files.push_back(entry.path().string());
    return files;
}

bool Check(const std::string& bytes)
{
    return CheckXmlDocumentInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

TEST(XmlFuzzCorpus, EverySeedPasses)
{
    const auto files = CorpusFiles();
    ASSERT_GE(files.size(), 10u);
    for (const std::string& file : files)
        EXPECT_TRUE(Check(testsupport::ReadFileBytes(file))) << file;
}

TEST(XmlFuzzCorpus, MutatedSeedsPass)
{
    std::mt19937 random(20240607);
    const char pieces[][12] = {"<", ">", "/>", "</", "\"", "'", "&", "<!--", "-->", "<![CDATA[", "]]>", "<?", "?>",
                               "=", " ", "&#x4E2D;", "\xC3", "\xE4\xB8\xAD", "<a>", "</a>", "<b/>", "\0"};
    for (const std::string& file : CorpusFiles()) {
        const std::string seed = testsupport::ReadFileBytes(file);
        for (int round = 0; round < 60; ++round) {
            std::string bytes = seed;
            const int edits = 1 + static_cast<int>(random() % 4);
            for (int e = 0; e < edits; ++e) {
                const size_t at = bytes.empty() ? 0 : random() % (bytes.size() + 1);
                switch (random() % 3) {
                case 0: bytes.insert(at, pieces[random() % std::size(pieces)]); break;
                case 1: bytes.erase(at, random() % 8); break;
                default:
                    if (at < bytes.size())
                        bytes[at] = static_cast<char>(random());
                }
            }
            ASSERT_TRUE(Check(bytes)) << "mutation of " << file << " failed; input:\n" << bytes;
        }
    }
}
