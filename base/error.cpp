#include "base/error.h"

namespace fragtally {

Error cannotOpenFile(std::string_view path) {
  // An empty name would leave the message ending in a blank, as if cut off.
  return Error(path.empty() ? std::string("Cannot open file ''.") : "Cannot open file " + std::string(path));
}

Error cannotCreateFile(std::string_view path) {
  return Error("Cannot create file " + std::string(path));
}

Error outputIsTheLog(std::string_view path) {
  return Error("Cannot create file " + std::string(path) + ": it is the log being read");
}

Error outputWrittenTwice(std::string_view path) {
  return Error("Cannot create file " + std::string(path) + ": the run writes another file there");
}

Error notAnInteger(std::string_view text) {
  return Error("'" + std::string(text) + "' is not a valid integer value");
}

std::string userMessage(std::string_view message) {
  std::string shown(message);
  if (!shown.empty() && static_cast<unsigned char>(shown.back()) > static_cast<unsigned char>('.')) {
    shown += '.';
  }
  return shown;
}

}  // namespace fragtally
