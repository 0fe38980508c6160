#pragma once

#include "core/ViewSkin.h"

// The editor's windows wear the same skin as every other view.
namespace EditorSkin = ViewSkin;
