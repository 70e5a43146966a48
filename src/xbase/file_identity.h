// Whether an open file and a name are the same file: how an opener or a
// writer learns that another process has renamed a new file over the one it
// holds (a pack, an index build) or removed it. The one place a platform
// layer answers it: here device and inode of fstat and stat; on Windows the
// volume serial number and file index of GetFileInformationByHandle.
#pragma once

#include <string>

namespace xb {

// False also when the name gives no file any more.
bool SameFile(int descriptor, const std::string &path);

}  // namespace xb
