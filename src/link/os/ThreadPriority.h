#pragma once
namespace tivolan {
// One step below normal for the calling thread (the programming worker).
void LowerCurrentThreadPriority();
}  // namespace tivolan
