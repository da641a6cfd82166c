// The start-up share of the product pack: reading its directory, finding a skin file,
// unpacking it into a folder and loading the language tables, as every start does.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "Window/ResourcePack.h"
#include "common/LanguageManager.h"
#include "platform/Resources.h"
#include "platform/Text.h"
#include "ui/controls/SkinArchive.h"

namespace {

std::string BenchFolder() {
    const char* szTemp = std::getenv("TMPDIR");
    return std::string(szTemp != nullptr ? szTemp : "/tmp") + "/norvane-bench-pack/";
}

void BM_OpenPack(benchmark::State& state) {
    const auto pack = platform::FindResource(platform::kResourceType_RcData, 105);
    for (auto _ : state) {
        SkinArchivePtr pArchive(SkinArchive::OpenFromMemory(pack.data(), pack.size()));
        benchmark::DoNotOptimize(pArchive.get());
    }
}
BENCHMARK(BM_OpenPack)->Unit(benchmark::kMicrosecond);

void BM_FindLastEntryIgnoringCase(benchmark::State& state) {
    const auto pack = platform::FindResource(platform::kResourceType_RcData, 105);
    SkinArchivePtr pArchive(SkinArchive::OpenFromMemory(pack.data(), pack.size()));
    for (auto _ : state) {
        int nIndex = -1;
        ArchiveItem item;
        benchmark::DoNotOptimize(pArchive->FindItem(L"SWEDISH\\PR_3.PNG", true, nIndex, item));
    }
}
BENCHMARK(BM_FindLastEntryIgnoringCase)->Unit(benchmark::kMicrosecond);

void BM_ReadBanner(benchmark::State& state) {
    const auto pack = platform::FindResource(platform::kResourceType_RcData, 105);
    SkinArchivePtr pArchive(SkinArchive::OpenFromMemory(pack.data(), pack.size()));
    int nIndex = -1;
    ArchiveItem item;
    pArchive->FindItem(L"English/pr_1.png", true, nIndex, item);
    std::vector<std::uint8_t> vecData;
    for (auto _ : state) benchmark::DoNotOptimize(pArchive->ReadItem(nIndex, vecData, 1 << 22));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * item.dwUncompressedSize);
}
BENCHMARK(BM_ReadBanner)->Unit(benchmark::kMicrosecond);

void BM_UnpackPack(benchmark::State& state) {
    const std::wstring strFolder = platform::Utf8ToWide(BenchFolder() + "language/");
    for (auto _ : state) benchmark::DoNotOptimize(LoadResZipFile(strFolder));
}
BENCHMARK(BM_UnpackPack)->Unit(benchmark::kMillisecond);

// The first start on a machine: nothing to replace yet.
void BM_UnpackPackIntoEmptyFolder(benchmark::State& state) {
    const std::wstring strFolder = platform::Utf8ToWide(BenchFolder() + "language/");
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(BenchFolder());
        state.ResumeTiming();
        benchmark::DoNotOptimize(LoadResZipFile(strFolder));
    }
}
BENCHMARK(BM_UnpackPackIntoEmptyFolder)->Unit(benchmark::kMillisecond);

void BM_LanguageInit(benchmark::State& state) {
    const std::wstring strFolder = platform::Utf8ToWide(BenchFolder() + "language/");
    LoadResZipFile(strFolder);
    for (auto _ : state) {
        LanguageManager lm;
        lm.Init(strFolder);
        benchmark::DoNotOptimize(lm.GetText(L"STR_INSTALL"));
    }
}
BENCHMARK(BM_LanguageInit)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::filesystem::remove_all(BenchFolder());
    return 0;
}
