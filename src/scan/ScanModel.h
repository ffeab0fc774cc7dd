#pragma once

// The scan engine: the tree of one scan, its filters and cancellation, and the walker.
#include "scan/DiskScanner.h"
#include "scan/ExtStats.h"
#include "scan/ExtensionTotals.h"
#include "scan/FileMask.h"
#include "scan/ScanContext.h"
#include "scan/ScanTree.h"
