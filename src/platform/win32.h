// The one header through which the program reaches the platform. It declares a
// subset of the Win32 interface (names, numbers and semantics as on Windows) that
// the native layer implements on Linux; nothing above src/platform includes a
// system library header directly.
#pragma once

#include "platform/api/Buttons.h"
#include "platform/api/Clipboard.h"
#include "platform/api/ComboBox.h"
#include "platform/api/CommonDialogs.h"
#include "platform/api/DatePicker.h"
#include "platform/api/Dialog.h"
#include "platform/api/Edit.h"
#include "platform/api/EditControl.h"
#include "platform/api/FileTimes.h"
#include "platform/api/Gdi.h"
#include "platform/api/ImageList.h"
#include "platform/api/Ime.h"
#include "platform/api/Library.h"
#include "platform/api/ListView.h"
#include "platform/api/Menu.h"
#include "platform/api/MessageBox.h"
#include "platform/api/Messages.h"
#include "platform/api/Services.h"
#include "platform/api/ShellInfo.h"
#include "platform/api/TabControl.h"
#include "platform/api/Toolbar.h"
#include "platform/api/TrackBar.h"
#include "platform/api/TreeView.h"
#include "platform/api/Types.h"
#include "platform/api/Window.h"
