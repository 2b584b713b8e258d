// Version of all four programs; used by their resource scripts.
#pragma once
#define SCV_VERSION_MAJOR 6
#define SCV_VERSION_MINOR 0
#define SCV_VERSION_PATCH 0
#define SCV_VERSION_BUILD 1
#define SCV_VERSION_TEXT "6, 0, 0, 1"
#define SCV_COMPANY_NAME "Quorvane Software"
#define SCV_PRODUCT_NAME "Scrivolanter"
