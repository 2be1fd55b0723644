// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Which list the page shows: the conferences of the catalogue, the
// lectures of the conference last entered, the stored lectures, or what a
// search of the whole library found (conferences and lectures of any
// conference; shown under the catalogue's option). The page model keeps the
// one that is shown; the view options and the row commands follow it.
enum class PageView { Catalogue, Lectures, Favourites, Found };
