// TEMPORARY STUBS
#include "report/index_page.h"
namespace fragtally {
void rebuildIndex(const std::filesystem::path&) {}
}
