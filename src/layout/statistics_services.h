#pragma once
// The statistics' questions answered by the selection model and the layout: the selected
// ranges, pagination to the document's end and the page that shows a place. The main window's
// progress display is left to the shell (the stand-in shows none).
#include <memory>

namespace qv {

class TStatisticsServices;

std::unique_ptr<TStatisticsServices> MakeLayoutStatisticsServices();

}  // namespace qv
