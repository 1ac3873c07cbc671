// The whole API subset.
#pragma once

#include "quorvale/win32/ansi.h"
#include "quorvale/win32/kernel.h"
#include "quorvale/win32/profile.h"
#include "quorvale/win32/random.h"
#include "quorvale/win32/registry.h"
#include "quorvale/win32/resources.h"
#include "quorvale/win32/types.h"
#include "quorvale/win32/vb_files.h"
#include "quorvale/win32/vb_random.h"
#include "quorvale/win32/vb_resources.h"
