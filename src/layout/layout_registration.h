#pragma once
// Start-up registration of the layout's services with the document model: the paragraph line
// breaker's fitter, the box tree's handler for released lines, and the real page, pagination and
// re-layout services in place of the model's least-behaviour defaults.
namespace qv {

void RegisterLayoutServices();

}  // namespace qv
