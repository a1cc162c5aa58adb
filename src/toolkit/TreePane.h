// The plain tree pane: a BaseTreePane as it stands, the type other parts hold.
#pragma once

#include "toolkit/BaseTreePane.h"

class TreePane : public BaseTreePane {};
