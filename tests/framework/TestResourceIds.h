#pragma once
// Ids of the framework tests' own dialog templates and controls.
#define IDD_TEST_DIALOG 200
#define IDD_TEST_INNER_DIALOG 201

#define IDC_TEST_FIRST 1101
#define IDC_TEST_SECOND 1102
#define IDC_TEST_PROGRESS 1103
#define IDC_TEST_LIST 1104
#define IDC_TEST_RUN 1105
