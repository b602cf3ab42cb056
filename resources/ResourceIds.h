#pragma once

// Resource ids, shared by Velmora.rc and the code; plain macros, since the
// resource compiler reads this too.

// The icon group that the window and Explorer show; it holds one image.
#define VELMORA_ICON_GROUP_ID 1
// That image: 32 x 32 pixels in 16 colours, language neutral.
#define VELMORA_ICON_ID 30001
#define VELMORA_VERSION_ID 1
// The manifest that Windows reads for the process: always resource 1
// (CREATEPROCESS_MANIFEST_RESOURCE_ID).
#define VELMORA_MANIFEST_ID 1
