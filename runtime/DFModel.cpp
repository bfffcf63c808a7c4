#include "runtime/DFModel.h"

#include <iostream>

namespace Varnholt {

void DFModel::ReportError(const char *text) {
  std::cerr << (text ? text : "") << std::endl;
}

} // namespace Varnholt
