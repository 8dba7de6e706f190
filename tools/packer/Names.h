// Names of payload entries as the packer compares them. Which names an entry may carry is the
// payload's own rule (payload/PayloadName.h), checked by packing and extracting alike.
#pragma once

#include <string>

// The name as the setup program compares names: without regard to letter case.
std::u16string FoldCase(const std::string& name);
