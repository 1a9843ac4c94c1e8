#include "converter/script/object_conf.h"

#include <utility>

namespace zarvex {

ObjectConfImpl::ObjectConfImpl(std::string path) : fileName(std::move(path)) {}

ObjectConfImpl::~ObjectConfImpl() {
  // A script may hold any number of file statements; unlink them one by one.
  std::unique_ptr<ObjectConfImpl> rest = std::move(next);
  while (rest) rest = std::move(rest->next);
}

void ObjectConfImpl::initAttributes(const MapObject& object, ObjectAttributes& attributes) const {
  attributes.fill(object);
}

}  // namespace zarvex
