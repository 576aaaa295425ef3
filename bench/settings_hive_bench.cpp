// Loads every option from a generated settings hive of about 1 MB: a long "WritingData" text in
// many pieces, a few thousand user colour schemes and a few thousand "DateTime" languages, the
// shapes that make a hive large. Reports the time of reading the file and of loading the options,
// and of a flush that writes every value back unchanged.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "foundation/settings/options_io.h"
#include "foundation/settings/registry_ex.h"
#include "foundation/settings/stored_path.h"

using namespace qv;

namespace {

constexpr const char* kRoot = "[\\Software\\Quorvane Word Processor\\";

std::string MakeHiveText(int schemes, int languages, int pieces) {
  std::string text;
  text += std::string(kRoot) + "ColorScheme\\UsrSchemes2]\nCount=" + std::to_string(schemes) + "\n";
  for (int i = 0; i < schemes; ++i) {
    text += "Name" + std::to_string(i) + "=Scheme " + std::to_string(i) + "\n";
    text += "Data" + std::to_string(i) + "=" + std::string(48, 'f') + "\n";
  }
  text += "\n" + std::string(kRoot) + "DateTime]\nCount=" + std::to_string(languages) + "\n";
  for (int i = 0; i < languages; ++i) {
    text += "\n" + std::string(kRoot) + "DateTime\\" + std::to_string(i) + "]\n";
    text += "LangID=" + std::to_string(1031 + i) + "\nLastUsedDateFormat=1\nLastUsedTimeFormat=2\n";
  }
  text += "\n" + std::string(kRoot) + "WritingData]\nCount=" + std::to_string(pieces) + "\n";
  for (int i = 0; i < pieces; ++i) text += std::to_string(i) + "=" + std::string(512, 'a') + "\n";
  return text;
}

struct HiveFile {
  std::string path;
  size_t size = 0;
  HiveFile() {
    const auto dir = std::filesystem::temp_directory_path() / "qv_settings_hive_bench";
    std::filesystem::create_directories(dir);
    path = (dir / "registry.ini").string();
    const std::string text = MakeHiveText(4000, 3000, 1000);
    std::ofstream(path, std::ios::binary) << text;
    size = text.size();
  }
  ~HiveFile() { std::filesystem::remove_all(std::filesystem::path(path).parent_path()); }
};

HiveFile& File() {
  static HiveFile file;
  return file;
}

TOptionsContext Context() {
  TOptionsContext c;
  c.DataFolder = "/nonexistent/quorvane/";
  c.TemplatesFolder = c.DataFolder + "Templates/";
  return c;
}

void BM_ReadHive(benchmark::State& state) {
  for (auto _ : state) {
    TRegistryEx hive(File().path);
    benchmark::DoNotOptimize(hive);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * File().size));
}

void BM_LoadAllOptions(benchmark::State& state) {
  SetStoredPathContext({"/nonexistent/quorvane/", "", false, false});
  const TOptionsContext c = Context();
  for (auto _ : state) {
    TRegistryEx hive(File().path);
    TOptions options;
    THolderSettings holder;
    LoadAllOptions(hive, c, options, holder);
    benchmark::DoNotOptimize(options);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * File().size));
}

void BM_WriteBackUnchanged(benchmark::State& state) {
  for (auto _ : state) {
    TRegistryEx hive(File().path);
    hive.KeyPrefix = "\\Software\\Quorvane Word Processor\\";
    for (int i = 0; i < 3000; ++i) {
      hive.OpenKey("DateTime\\" + std::to_string(i));
      hive.WriteInteger("LangID", 1031 + i);
    }
    std::string error;
    benchmark::DoNotOptimize(hive.Flush(error));
  }
}

BENCHMARK(BM_ReadHive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAllOptions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteBackUnchanged)->Unit(benchmark::kMillisecond);

}  // namespace
