#pragma once

#include <string_view>

namespace dunstrel::test {

// A saved scan whose two counts differ everywhere: a sparse file (a million bytes in one block),
// a file whose blocks outgrow its size, one file hard-linked in two folders (counted once, at
// "a/twin"), and a folder that could not be read. In the apparent size the files of /t hold
// 1,001,030 bytes; in the disk usage 16,384 (4096 + 8192 in the top folder, one 4096 for the
// twins), and /t with its four folders' own blocks 32,768.
inline constexpr std::string_view kCountedScan = R"([1,2,{"progname":"dunstrel"},
  [{"name":"/t","asize":4096,"dsize":4096,"dev":1,"ino":1},
    {"name":"sparse.img","asize":1000000,"dsize":4096,"ino":2},
    {"name":"small.log","asize":1000,"dsize":8192,"ino":3},
    [{"name":"a","asize":4096,"dsize":4096,"ino":4},
      {"name":"twin.txt","asize":10,"dsize":4096,"ino":5,"hlnkc":true,"nlink":2}],
    [{"name":"b","asize":4096,"dsize":4096,"ino":6},
      {"name":"twin.txt","asize":10,"dsize":4096,"ino":5,"hlnkc":true,"nlink":2},
      {"name":"own.txt","asize":10,"dsize":0,"ino":7}],
    [{"name":"locked","asize":4096,"dsize":4096,"ino":8,"read_error":true}]
  ]
])";

}  // namespace dunstrel::test
