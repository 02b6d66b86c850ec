#include "support/failure.h"

#include <new>
#include <stdexcept>

#include "support/text.h"

namespace tolvaran {

std::u16string runtimeErrorText(std::int32_t number) {
  // The run-time's own English texts, as they appear in error records.
  switch (number) {
    case 3: return u"Return without GoSub";
    case 5: return u"Invalid procedure call or argument";
    case 6: return u"Overflow";
    case 7: return u"Out of memory";
    case 9: return u"Subscript out of range";
    case 10: return u"This array is fixed or temporarily locked";
    case 11: return u"Division by zero";
    case 13: return u"Type mismatch";
    case 14: return u"Out of string space";
    case 17: return u"Can't perform requested operation";
    case 28: return u"Out of stack space";
    case 48: return u"Error in loading DLL";
    case 51: return u"Internal error";
    case 52: return u"Bad file name or number";
    case 53: return u"File not found";
    case 54: return u"Bad file mode";
    case 55: return u"File already open";
    case 57: return u"Device I/O error";
    case 58: return u"File already exists";
    case 61: return u"Disk full";
    case 62: return u"Input past end of file";
    case 67: return u"Too many files";
    case 68: return u"Device unavailable";
    case 70: return u"Permission denied";
    case 71: return u"Disk not ready";
    case 74: return u"Can't rename with different drive";
    case 75: return u"Path/File access error";
    case 76: return u"Path not found";
    case 91: return u"Object variable or With block variable not set";
    case 93: return u"Invalid pattern string";
    case 94: return u"Invalid use of Null";
    case 429: return u"ActiveX component can't create object";
    case 438: return u"Object doesn't support this property or method";
    case 440: return u"Automation error";
    case 453: return u"Specified DLL function not found";
    case 457: return u"This key is already associated with an element of this collection";
    default: return u"Application-defined or object-defined error";
  }
}

Failure runtimeFailure(std::int32_t number, std::int32_t lastSystemError) {
  return Failure{number, runtimeErrorText(number), lastSystemError};
}

Failure fileCallFailure(platform::Win32Code code) {
  std::int32_t number = rt::kPathFileAccessError;
  switch (code) {
    case platform::kErrorFileNotFound: number = rt::kFileNotFound; break;
    case platform::kErrorPathNotFound: number = rt::kPathNotFound; break;
    case platform::kErrorSharingViolation:
    case platform::kErrorLockViolation: number = rt::kPermissionDenied; break;
    default: break;
  }
  return runtimeFailure(number, static_cast<std::int32_t>(code));
}

Failure failureFromCurrentException() noexcept {
  try {
    try {
      throw;
    } catch (const RuntimeError& error) {
      return error.failure();
    } catch (const std::bad_alloc&) {
      return runtimeFailure(rt::kOutOfMemory);
    } catch (const std::out_of_range&) {
      return runtimeFailure(rt::kSubscriptOutOfRange);
    } catch (const std::length_error&) {
      return runtimeFailure(rt::kSubscriptOutOfRange);
    } catch (const std::overflow_error&) {
      return runtimeFailure(rt::kOverflow);
    } catch (...) {
      return runtimeFailure(rt::kInvalidProcedureCall);
    }
  } catch (...) {
    // Even the text could not be built: a failure with no description.
    return Failure{rt::kOutOfMemory, {}, 0};
  }
}

std::u16string ErrorContext::renderInteger(std::int64_t value) {
  return toDecimal(value);
}

}  // namespace tolvaran
