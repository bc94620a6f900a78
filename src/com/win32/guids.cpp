// The GUIDs of the type library's source, defined once for the DLL.
#include "RegWizard_i.c"
