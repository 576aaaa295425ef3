#pragma once
// The exceptions that operations raise. The top level shows any of them but EAbort in the
// message box "Exception:\r%s"; EAbort ends an operation silently.
#include <stdexcept>
#include <string>

namespace qv {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// Ends the running operation without a message.
class EAbort : public Exception {
 public:
  EAbort() : Exception("Operation aborted") {}
};

class EOutOfMemory : public Exception {
 public:
  EOutOfMemory() : Exception("Out of memory") {}
};

// A file that cannot be opened for reading, or created for writing.
class EFOpenError : public Exception {
 public:
  explicit EFOpenError(const std::string& fileName)
      : Exception("Cannot open file \"" + fileName + "\""), FileName(fileName) {}
  std::string FileName;
};

class EFCreateError : public Exception {
 public:
  explicit EFCreateError(const std::string& fileName)
      : Exception("Cannot create file \"" + fileName + "\""), FileName(fileName) {}
  std::string FileName;
};

class EReadError : public Exception {
 public:
  using Exception::Exception;
};

class EWriteError : public Exception {
 public:
  using Exception::Exception;
};

// Malformed input data (a damaged file, a value that does not read).
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace qv
