// Speed of the page framework and the main window: a tab switch with its page refresh and
// repaint, a full refresh of a page-sized control table, and one control store.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <string>
#include <vector>

#include "FieldBinding.h"
#include "MivoDlg.h"
#include "ParameterSet.h"

namespace {

using namespace qx;

void BM_TabSwitchWithRefresh(benchmark::State& state) {
    ResetParameters();
    CMivoDlg::Options options;
    options.autoConnect = false;
    options.smallScreen = 0;
    CMivoDlg window(options);
    QImage target(window.size(), QImage::Format_ARGB32_Premultiplied);
    const int tabs[] = {0, 9, 4, 6, 2, 9};
    std::size_t k = 0;
    for (auto _ : state) {
        window.SelectTab(tabs[k++ % std::size(tabs)]);
        window.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_TabSwitchWithRefresh)->Unit(benchmark::kMillisecond);

// A page-sized table: sliders with their labels on the gains and frequencies of the bands of
// every equaliser of a channel, with a placeholder for the channel.
struct Table {
    std::vector<std::string> fields;
    std::vector<ControlRow> rows;
    explicit Table(int pairs) {
        fields.reserve(static_cast<std::size_t>(pairs));
        for (int i = 0; i < pairs; ++i) {
            fields.push_back("{ch}.bands[" + std::to_string(i % 15) + "]." +
                             (i / 15 % 2 == 0 ? "gainCode" : "qCode"));
        }
        for (int i = 0; i < pairs; ++i) {
            const char* f = fields[static_cast<std::size_t>(i)].c_str();
            rows.push_back({1000 + 2 * i, ControlKind::Slider, {4, 2 * i, 105, 10}, {}, f});
            rows.push_back({1001 + 2 * i,
                            ControlKind::Label,
                            {112, 2 * i, 30, 10},
                            {},
                            f,
                            Shown(LabelRule::L14, 0.2, 24, "dB")});
        }
    }
};

void BM_PageRefresh(benchmark::State& state) {
    ResetParameters();
    QWidget page;
    CFieldBinding binding(&page);
    const Table table(static_cast<int>(state.range(0)));
    binding.Add(table.rows);
    binding.SetPlaceholder("ch", "MusicLeft");
    for (auto _ : state) {
        binding.RefreshFromParameters();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(table.rows.size()));
}
BENCHMARK(BM_PageRefresh)->Arg(50)->Arg(150)->Unit(benchmark::kMicrosecond);

void BM_ControlStore(benchmark::State& state) {
    ResetParameters();
    QWidget page;
    CFieldBinding binding(&page);
    const Table table(150);
    binding.Add(table.rows);
    binding.SetPlaceholder("ch", "MusicRight");
    int value = 0;
    for (auto _ : state) {
        binding.ControlChanged(1000, value);
        value = (value + 7) % 240;
    }
}
BENCHMARK(BM_ControlStore)->Unit(benchmark::kMicrosecond);

}  // namespace
