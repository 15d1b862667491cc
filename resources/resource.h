// resources/resource.h - ids of the program's resources.
#pragma once

#define IDD_KEYWHIRL_DIALOG 102
