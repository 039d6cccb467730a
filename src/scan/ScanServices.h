#pragma once

#include "work/Context.h"

namespace qm::scan {

// A scan reaches nothing outside its own window model but what every subsystem is lent.
using ScanServices = work::Context;

}  // namespace qm::scan
