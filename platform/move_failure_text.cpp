#include "platform/file_ops.h"

std::string MoveFailureText(const MoveResult& result) {
  switch (result.failure) {
    case kMoveDone: return "moved";
    case kMoveNameTaken: return "name taken";
    case kMoveAccessDenied: return "access denied";
    case kMoveInUse: return "in use";
    case kMoveNoSpace: return "no space left";
    case kMoveNotFound: return "not found";
    case kMoveOther: break;
  }
  return SystemErrorText(result.code);
}
