// Parsing AMI parameter strings as AMI_Init does: one leaf of many values
// and one group of many members.
#include "IbisParser/amip.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// item(i) is the text of the i-th of range(0) items between head and tail.
template <class Item>
void Parse(benchmark::State &state, const std::string &head, Item item, const char *tail) {
  std::string text = head;
  for (int64_t i = 0; i < state.range(0); ++i) text += item(i);
  text += tail;
  for (auto _ : state) {
    AMIP_TREE *tree = nullptr;
    benchmark::DoNotOptimize(AMIP_ParseWith(text.c_str(), &tree, &AMIP_silentAlloc));
    AMIP_FreeTree(&tree);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void ParseLongLeaf(benchmark::State &state) {
  Parse(state, "(Sarnet (Gain 2", [](int64_t) { return std::string(" 0.5"); }, "))");
}
BENCHMARK(ParseLongLeaf)->Arg(1000)->Arg(100000)->Arg(3200000)->Unit(benchmark::kMillisecond);

void ParseWideGroup(benchmark::State &state) {
  Parse(state, "(M", [](int64_t i) { return " (p" + std::to_string(i) + " 1)"; }, ")");
}
BENCHMARK(ParseWideGroup)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
