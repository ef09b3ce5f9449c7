// Every file in a fuzz target's corpus folder passes that target's check:
// the seeds, and the crash, leak and time-out inputs a fuzz run leaves there.
#include "fuzz/ini/IniFileCheck.h"
#include "fuzz/journal/JournalReaderCheck.h"
#include "fuzz/lang/LangFileCheck.h"
#include "fuzz/library/LibraryScanCheck.h"
#include "fuzz/manifest/ManifestCheck.h"
#include "fuzz/psd/PsdReaderCheck.h"
#include "fuzz/vmix/VmixConfigCheck.h"
#include "fuzz/vmixroad/VmixOpenCheck.h"
#include "platform/FileUtil.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Check = std::function<std::string(const std::string&, const std::wstring&)>;

void ReplayCorpus(const std::string& target, const Check& check, size_t minimumSeeds)
{
    const std::filesystem::path corpus = std::filesystem::path(KELVANE_SOURCE_DIR) / "fuzz" / target / "corpus";
    const std::wstring folder = platform::MakeTempFolder(L"kelvane-corpus-");
    ASSERT_FALSE(folder.empty());
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        ++count;
        // Each input gets a fresh folder: the checks write into it.
        const std::wstring inputFolder = platform::JoinPath(folder, std::to_wstring(count));
        ASSERT_TRUE(platform::CreateFolder(inputFolder));
        EXPECT_EQ(check(testsupport::ReadFileBytes(entry.path().string()), inputFolder), "") << entry.path();
    }
    platform::RemoveFolderTree(folder);
    EXPECT_GE(count, minimumSeeds) << corpus;
}

}  // namespace

TEST(FuzzCorpus, VmixConfigInputsPass) { ReplayCorpus("vmix", CheckVmixConfigReaders, 6); }

TEST(FuzzCorpus, IniInputsPass) { ReplayCorpus("ini", CheckIniFileInput, 6); }

TEST(FuzzCorpus, LanguageFileInputsPass) { ReplayCorpus("lang", CheckLangFileInput, 5); }

TEST(FuzzCorpus, ManifestInputsPass) { ReplayCorpus("manifest", CheckManifestInput, 6); }

TEST(FuzzCorpus, PhotoshopInputsPass) { ReplayCorpus("psd", CheckPsdReader, 8); }

TEST(FuzzCorpus, SetFoldersOpenAsTheEditorOpensThem) { ReplayCorpus("vmixroad", CheckVmixOpenRoad, 4); }

TEST(FuzzCorpus, LibraryFoldersScan) { ReplayCorpus("library", CheckLibraryScan, 3); }

TEST(FuzzCorpus, RecoveryJournalsReadOrSayWhy) { ReplayCorpus("journal", CheckJournalReader, 4); }
