#include "files/document_road_services.h"

#include <exception>

#include "document/doc.h"
#include "foundation/base/service_slot.h"
#include "foundation/system/paths.h"
#include "foundation/system/temp_files.h"

namespace qv {

std::unique_ptr<TDoc> TDocumentRoadServices::LoadDefaultTemplate(int32_t) { return nullptr; }

std::string TDocumentRoadServices::DocumentsFolder() { return GetDataFolder(4); }

bool TDocumentRoadServices::IsInTemporaryFolder(const std::string& fileName) {
  try {
    const std::string folder = GetTempFolder();
    return !folder.empty() && fileName.compare(0, folder.size(), folder) == 0;
  } catch (const std::exception&) {
    return false;
  }
}

void RegisterDocumentRoadServices(std::unique_ptr<TDocumentRoadServices> services) {
  RegisterService(std::move(services));
}

TDocumentRoadServices& DocumentRoadServices() { return Service<TDocumentRoadServices>(); }

}  // namespace qv
