// What the user waits for in the main window: start-up to the first page
// with a large catalogue (against a bare window shown and closed in the
// same run), one scroll step in a long list, and listing and searching a
// large favourites folder. Runs on the offscreen platform.
#include "catalogue/CatalogueLines.h"
#include "catalogue/FetchText.h"
#include "shell/Form1.h"
#include "support/Gb2312.h"
#include "support/RecordingHost.h"
#include "support/ServerAddresses.h"
#include "support/TestHttpServer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

QByteArray CatalogueBytes(int lines)
{
    QString text;
    for (int k = 0; k < lines; ++k)
        text += QStringLiteral("第") + QString::number(k) + QStringLiteral("届全国心血管病学术会议%20131015*\r\n");
    return ToGb2312(text);
}

struct Library {
    TestHttpServer server;
    QTemporaryDir folder;
    RecordingHost host;
    explicit Library(int catalogueLines)
    {
        server.serveBytes("/lists/catalogue.txt", CatalogueBytes(catalogueLines));
    }
};

void BareWindowShownAndClosed(benchmark::State& state)
{
    for (auto _ : state) {
        QMainWindow window;
        window.setFixedSize(760, 555);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        window.close();
        QCoreApplication::processEvents();
    }
}

void StartUpToFirstPage(benchmark::State& state)
{
    Library library(static_cast<int>(state.range(0)));
    const StoredAddresses addresses = AddressesFor(library.server);
    for (auto _ : state) {
        Form1 form(addresses, library.folder.path());
        if (!form.Form_Load())
            state.SkipWithError("catalogue not loaded");
        form.show();
        (void)QTest::qWaitForWindowExposed(&form);
        form.close();
        QCoreApplication::processEvents();
    }
}

// The catalogue alone: fetched, decoded and cut into records.
void CatalogueFetch(benchmark::State& state)
{
    Library library(static_cast<int>(state.range(0)));
    const QString address = library.server.url("/lists/catalogue.txt");
    for (auto _ : state) {
        QStringList records;
        SplitAndKeep(FetchText(address, QStringLiteral("GB2312")), records);
        benchmark::DoNotOptimize(records);
    }
}

// The window alone, without the catalogue behind it.
void WindowConstruction(benchmark::State& state)
{
    Library library(1);
    const StoredAddresses addresses = AddressesFor(library.server);
    for (auto _ : state) {
        Form1 form(addresses, library.folder.path());
        benchmark::DoNotOptimize(&form);
    }
}

void OneScrollStep(benchmark::State& state)
{
    Library library(1);
    Form1 form(AddressesFor(library.server), library.folder.path());
    form.Form_Load();
    form.List1.Clear();
    for (int k = 0; k < state.range(0); ++k)
        form.List1.AddItem(QStringLiteral("会议") + QString::number(k) + QStringLiteral("%20131015*"));
    form.ShowCataloguePage();
    form.show();
    int offset = 0;
    for (auto _ : state) {
        offset = offset == 0 ? 1 : 0;
        form.V1->setValue(offset);
    }
    form.close();
}

void MakeFavourites(const QString& folder, int count)
{
    QDir().mkpath(folder);
    for (int k = 0; k < count; ++k) {
        QFile file(folder + QStringLiteral("/讲座%1%医生$说明.zip").arg(k, 5, 10, QLatin1Char('0')));
        file.open(QIODevice::WriteOnly);
    }
}

void FillFavourites(benchmark::State& state)
{
    Library library(1);
    Form1 form(AddressesFor(library.server), library.folder.path());
    form.Form_Load();
    MakeFavourites(form.FavouritesFolder(), static_cast<int>(state.range(0)));
    form.Option2->setValue(true);
    for (auto _ : state)
        form.FillFavourites();
    state.counters["listed"] = form.List3.ListCount();
    form.close();
}

void SearchKeystroke(benchmark::State& state)
{
    Library library(1);
    Form1 form(AddressesFor(library.server), library.folder.path());
    form.Form_Load();
    MakeFavourites(form.FavouritesFolder(), static_cast<int>(state.range(0)));
    form.Option2->setValue(true);
    bool longer = false;
    for (auto _ : state) {
        longer = !longer;
        form.Text1->setText(longer ? QStringLiteral("讲座0001") : QStringLiteral("讲座000"));
    }
    state.counters["hits"] = form.List3.ListCount();
    form.close();
}

}  // namespace

BENCHMARK(BareWindowShownAndClosed)->Unit(benchmark::kMillisecond);
BENCHMARK(CatalogueFetch)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowConstruction)->Unit(benchmark::kMillisecond);
BENCHMARK(StartUpToFirstPage)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(OneScrollStep)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(FillFavourites)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(SearchKeystroke)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // A real display shows what a user waits for; without one, offscreen.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
