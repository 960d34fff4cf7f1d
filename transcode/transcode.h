// The conversion library in one include.
#pragma once

#include "transcode/engine.h"
#include "transcode/utf_engines.h"
#include "transcode/japanese_engines.h"
#include "transcode/simd.h"
#include "transcode/web_form.h"
