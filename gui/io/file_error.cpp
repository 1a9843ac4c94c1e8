#include "gui/io/file_error.h"

#include <cerrno>
#include <cstring>

namespace visual {

namespace {

const char* reasonOf(int number) {
  switch (number) {
    case ENOENT:
      return "файл или папка не найдены";
    case EACCES:
    case EPERM:
      return "нет доступа";
    case EISDIR:
      return "это папка, а не файл";
    case ENOTDIR:
      return "часть пути не является папкой";
    case ENOSPC:
      return "на диске нет места";
    case EROFS:
      return "диск только для чтения";
    case EEXIST:
      return "файл уже существует";
    case EFBIG:
      return "файл слишком большой";
    case ENAMETOOLONG:
      return "слишком длинное имя";
    case EMFILE:
    case ENFILE:
      return "открыто слишком много файлов";
    case EBUSY:
      return "файл занят";
    default:
      return "ошибка ввода-вывода";
  }
}

}  // namespace

std::string fileError(FileAction action, const std::string& path, int number) {
  const char* what = action == FileAction::Read ? "Не удалось прочитать файл "
                     : action == FileAction::Write ? "Не удалось записать файл "
                                                   : "Не удалось удалить файл ";
  return what + path + ": " + reasonOf(number) + " (" + std::strerror(number) + ")";
}

}  // namespace visual
