// SPDX-License-Identifier: GPL-3.0-or-later

// What the user waits for in the main window: start-up to the first page
// with a large catalogue (against a bare window shown and closed in the
// same run), one scroll step in a long list, and listing and searching a
// large favourites folder. Runs on the offscreen platform.
#include "format/CatalogueLines.h"
#include "support/FetchWaits.h"
#include "support/Gb2312.h"
#include "support/MainWindowFixture.h"
#include "support/MainWindowParts.h"
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

QByteArray catalogueBytes(int lines)
{
    QString text;
    for (int k = 0; k < lines; ++k)
        text += QStringLiteral("第") + QString::number(k) + QStringLiteral("届全国心血管病学术会议%20131015*\r\n");
    return toGb2312(text);
}

struct Library {
    TestHttpServer server;
    QTemporaryDir folder;
    RecordingHost host;
    explicit Library(int catalogueLines)
    {
        server.serveBytes("/version.txt", "20140202[QorVersion]\r\n");
        server.serveBytes("/lists/catalogue.txt", catalogueBytes(catalogueLines));
    }
};

void bareWindowShownAndClosed(benchmark::State& state)
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

void startUpToFirstPage(benchmark::State& state)
{
    Library library(static_cast<int>(state.range(0)));
    const StoredAddresses addresses = addressesFor(library.server);
    for (auto _ : state) {
        MainWindow window(addresses, library.folder.path());
        if (!loadAndWait(window))
            state.SkipWithError("catalogue not loaded");
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        window.close();
        QCoreApplication::processEvents();
    }
}

// The catalogue alone: fetched, decoded and cut into records.
void catalogueFetch(benchmark::State& state)
{
    Library library(static_cast<int>(state.range(0)));
    const QString address = library.server.url("/lists/catalogue.txt");
    for (auto _ : state) {
        QStringList records;
        splitAndKeep(fetchTextAndWait(address), records);
        benchmark::DoNotOptimize(records);
    }
}

// The window alone, without the catalogue behind it.
void windowConstruction(benchmark::State& state)
{
    Library library(1);
    const StoredAddresses addresses = addressesFor(library.server);
    for (auto _ : state) {
        MainWindow window(addresses, library.folder.path());
        benchmark::DoNotOptimize(&window);
    }
}

void oneScrollStep(benchmark::State& state)
{
    Library library(1);
    MainWindow window(addressesFor(library.server), library.folder.path());
    loadAndWait(window);
    QStringList conferences;
    for (int k = 0; k < state.range(0); ++k)
        conferences.append(QStringLiteral("会议") + QString::number(k) + QStringLiteral("%20131015*"));
    window.pageModel().setList(PageView::Catalogue, conferences);
    window.show();
    int offset = 0;
    for (auto _ : state) {
        offset = offset == 0 ? 1 : 0;
        window.pageList().pageScrollBar->setValue(offset);
    }
    window.close();
}

void makeFavourites(const QString& folder, int count)
{
    QDir().mkpath(folder);
    for (int k = 0; k < count; ++k) {
        QFile file(folder + QStringLiteral("/讲座%1%医生$说明.zip").arg(k, 5, 10, QLatin1Char('0')));
        file.open(QIODevice::WriteOnly);
    }
}

void fillFavourites(benchmark::State& state)
{
    Library library(1);
    MainWindow window(addressesFor(library.server), library.folder.path());
    loadAndWait(window);
    makeFavourites(window.favouritesFolder(), static_cast<int>(state.range(0)));
    window.views().choose(PageView::Favourites);
    for (auto _ : state)
        window.views().fillFavourites();
    state.counters["listed"] = window.pageModel().list(PageView::Favourites).size();
    window.close();
}

void searchKeystroke(benchmark::State& state)
{
    Library library(1);
    MainWindow window(addressesFor(library.server), library.folder.path());
    loadAndWait(window);
    makeFavourites(window.favouritesFolder(), static_cast<int>(state.range(0)));
    window.views().choose(PageView::Favourites);
    bool longer = false;
    for (auto _ : state) {
        longer = !longer;
        window.viewBar().searchBox->setText(longer ? QStringLiteral("讲座0001") : QStringLiteral("讲座000"));
    }
    state.counters["hits"] = window.pageModel().list(PageView::Favourites).size();
    window.close();
}

}  // namespace

BENCHMARK(bareWindowShownAndClosed)->Unit(benchmark::kMillisecond);
BENCHMARK(catalogueFetch)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(windowConstruction)->Unit(benchmark::kMillisecond);
BENCHMARK(startUpToFirstPage)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(oneScrollStep)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(fillFavourites)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(searchKeystroke)->Arg(10000)->Unit(benchmark::kMillisecond);

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
