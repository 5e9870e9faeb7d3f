#pragma once
// Whether this process holds CAP_SYS_RAWIO, which Linux asks of a process
// before it passes a vendor command on to a drive.
bool HasRawIoCapability();
