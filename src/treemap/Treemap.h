#pragma once

// The treemaps: the flat map of all files, the map of folders and files, the map of folders
// and the map of duplicates, with the squarified placement the nested ones share.
#include "scan/KeyColors.h"
#include "scan/PathKeys.h"
#include "treemap/DupTreemap.h"
#include "treemap/FlatTreemap.h"
#include "treemap/FolderTreemap.h"
#include "treemap/Geometry.h"
#include "treemap/HierTreemap.h"
#include "treemap/Squarify.h"
#include "treemap/TreemapCanvas.h"
