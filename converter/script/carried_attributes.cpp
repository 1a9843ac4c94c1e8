#include "converter/script/carried_attributes.h"

#include "converter/script/field_variables.h"
#include "converter/script/type_switch.h"

namespace zarvex {

namespace {

bool assignsACarriedAttribute(const Assign& assignment) {
  if (const auto* assign = dynamic_cast<const IntAssign*>(&assignment))
    return dynamic_cast<const RoadClassVar*>(assign->var.get()) != nullptr ||
           dynamic_cast<const SpeedLimitVar*>(assign->var.get()) != nullptr;
  if (const auto* assign = dynamic_cast<const StringAssign*>(&assignment))
    return dynamic_cast<const ZipLVar*>(assign->var.get()) != nullptr ||
           dynamic_cast<const WWWLVar*>(assign->var.get()) != nullptr;
  return false;
}

}  // namespace

bool mayCarryOver(const Block& block) {
  return anyMayAssign(block.first.get(), assignsACarriedAttribute);
}

}  // namespace zarvex
