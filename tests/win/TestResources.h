#pragma once
// Resources of the Wine tests only, numbered apart from the product's.
#define IDD_TEST_EXCHANGE 9100
#define IDC_TEST_TEXT 9101
#define IDC_TEST_CHECK 9102
#define IDC_TEST_BAR 9103
#define IDC_TEST_NOTIP 9104
