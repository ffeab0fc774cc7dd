// dunstrel-make-tree [--seed N] [--files N] [--folders N] OUTPUT
// Writes a synthetic tree to OUTPUT (which must not exist) and prints its shape as JSON.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <string>

#include "SyntheticTree.h"

using namespace dunstrel::bench;

int main(int Argc, char** Argv) {
  TSyntheticTreeShape Shape;
  std::string Output;
  for (int I = 1; I < Argc; ++I) {
    const std::string Arg = Argv[I];
    if ((Arg == "--seed" || Arg == "--files" || Arg == "--folders") && I + 1 < Argc) {
      const long long Value = std::atoll(Argv[++I]);
      if (Arg == "--seed") {
        Shape.Seed = static_cast<uint64_t>(Value);
      } else if (Arg == "--files") {
        Shape.Files = Value;
      } else {
        Shape.Folders = Value;
      }
    } else if (!Arg.empty() && Arg[0] != '-' && Output.empty()) {
      Output = Arg;
    } else {
      std::cerr << "usage: dunstrel-make-tree [--seed N] [--files N] [--folders N] OUTPUT\n";
      return 2;
    }
  }
  if (Output.empty()) {
    std::cerr << "usage: dunstrel-make-tree [--seed N] [--files N] [--folders N] OUTPUT\n";
    return 2;
  }
  const TSyntheticTree Tree = GenerateSyntheticTree(Shape);
  try {
    WriteSyntheticTree(Tree, Output);
  } catch (const std::exception& Error) {
    std::cerr << Error.what() << "\n";
    return 1;
  }
  std::vector<int64_t> PerFolder(Tree.FolderPaths.size());
  for (const TSyntheticFile& File : Tree.Files) {
    ++PerFolder[File.Folder];
  }
  std::sort(PerFolder.begin(), PerFolder.end());
  std::map<size_t, int64_t> Depths;
  size_t PathBytes = 0;
  for (const std::string& Path : Tree.FolderPaths) {
    ++Depths[Path.empty() ? 0 : static_cast<size_t>(std::count(Path.begin(), Path.end(), '/')) + 1];
  }
  for (const TSyntheticFile& File : Tree.Files) {
    PathBytes += Output.size() + 1 + Tree.FolderPaths[File.Folder].size() + 1 + File.Name.size();
  }
  std::printf(
      "{\"output\":\"%s\",\"seed\":%llu,\"files\":%zu,\"folders\":%zu,\"links\":%zu,"
      "\"median_files_per_folder\":%lld,\"max_files_per_folder\":%lld,\"max_depth\":%zu,"
      "\"average_file_path_bytes\":%.1f}\n",
      Output.c_str(), static_cast<unsigned long long>(Shape.Seed), Tree.Files.size(),
      Tree.FolderPaths.size(), Tree.Links.size(),
      static_cast<long long>(PerFolder[PerFolder.size() / 2]),
      static_cast<long long>(PerFolder.back()), Depths.rbegin()->first,
      Tree.Files.empty() ? 0.0
                         : static_cast<double>(PathBytes) / static_cast<double>(Tree.Files.size()));
  return 0;
}
