#pragma once

#define IDI_VELMORA 1
