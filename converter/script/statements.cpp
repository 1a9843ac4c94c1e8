#include "converter/script/statements.h"

#include <cstdint>
#include <string>
#include <utility>

namespace zarvex {

Executable::~Executable() {
  // Unlink before deleting, so that each statement dies with an empty `next` and the default
  // destruction never recurses along a long list.
  std::unique_ptr<Executable> rest = std::move(next);
  while (rest) rest = std::move(rest->next);
}

void Block::execute(const MapObject& object, ObjectAttributes& attributes) const {
  for (const Executable* statement = first.get(); statement; statement = statement->next.get())
    statement->execute(object, attributes);
}

void Block::append(std::unique_ptr<Executable> statement) {
  Executable* added = statement.get();
  if (last)
    last->next = std::move(statement);
  else
    first = std::move(statement);
  last = added;
}

void Case::execute(const MapObject& object, ObjectAttributes& attributes) const {
  if (condition->get(object, attributes)) Block::execute(object, attributes);
}

void BoolAssign::execute(const MapObject& object, ObjectAttributes& attributes) const {
  var->set(attributes, expr->get(object, attributes));
}

void IntAssign::execute(const MapObject& object, ObjectAttributes& attributes) const {
  var->set(attributes, expr->get(object, attributes));
}

void IntPlusAssign::execute(const MapObject& object, ObjectAttributes& attributes) const {
  const int32_t e = expr->get(object, attributes);
  const int32_t v = var->get(object, attributes);
  // Unsigned addition wraps without undefined behaviour; the conversion back is modular in C++20.
  var->set(attributes, static_cast<int32_t>(static_cast<uint32_t>(v) + static_cast<uint32_t>(e)));
}

void StringAssign::execute(const MapObject& object, ObjectAttributes& attributes) const {
  var->set(attributes, expr->get(object, attributes));
}

void StringPlusAssign::execute(const MapObject& object, ObjectAttributes& attributes) const {
  // The operand may be the variable itself (label += label): std::string appends a part of
  // itself correctly.
  std::string scratch;
  var->append(object, attributes, expr->view(object, attributes, scratch));
}

void KindAssign::execute(const MapObject& object, ObjectAttributes& attributes) const {
  var->set(attributes, expr->get(object, attributes));
}

}  // namespace zarvex
