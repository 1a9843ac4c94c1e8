#pragma once

#include <memory>
#include <string>

#include "converter/mpformat/map_object.h"
#include "converter/mpformat/object_attributes.h"
#include "converter/script/statements.h"

namespace zarvex {

/// The interface of a per-file rule entry.
class ObjectConf {
 public:
  /// Fills `attributes` from `object` before the rules run.
  virtual void initAttributes(const MapObject& object, ObjectAttributes& attributes) const = 0;

 protected:
  ~ObjectConf() = default;
};

/// One entry per `file` statement: the map path and its statements.
class ObjectConfImpl final : public ObjectConf {
 public:
  explicit ObjectConfImpl(std::string path);
  /// Destroys the rest of the entry list as well, without recursing along it.
  ~ObjectConfImpl();
  ObjectConfImpl(const ObjectConfImpl&) = delete;
  ObjectConfImpl& operator=(const ObjectConfImpl&) = delete;

  /// attributes.fill(object).
  void initAttributes(const MapObject& object, ObjectAttributes& attributes) const override;

  /// The statements of the `file` statement, in script order.
  Block block;
  /// The next entry of the entry list, or none.
  std::unique_ptr<ObjectConfImpl> next;
  /// The map path as the script gave it, after escapes.
  std::string fileName;
};

}  // namespace zarvex
