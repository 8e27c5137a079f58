#pragma once
// Resources of the Wine tests only, numbered apart from the product's.
#define IDD_TEST_DIALOG 9100
