// The subcommands that make and remove an entry of the device directory: link prefers the
// device's stable name, so that a replug that renumbers an adapter still reaches it, and
// says how to keep the link when the directory is lost at reboot; unlink removes links and
// socket entries only, never a device node.
#pragma once

#include <ostream>
#include <string>

namespace devcheck {

// name is one of kEntryNames. Both return the exit status: 0 done, 1 refused or failed.
int LinkEntry(const std::string& name, const std::string& device, std::ostream& out,
              std::ostream& err);
int UnlinkEntry(const std::string& name, std::ostream& out, std::ostream& err);

}  // namespace devcheck
