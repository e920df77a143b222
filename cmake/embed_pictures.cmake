# Turns the weapon JPEGs into a C++ source of byte arrays.
# Usage: cmake -DOUTPUT=<file.cpp> -DPICTURES="<a.jpg;b.jpg;...>" -P embed_pictures.cmake
set(arrays "")
set(entries "")
foreach(picture IN LISTS PICTURES)
  get_filename_component(name "${picture}" NAME_WE)
  string(TOUPPER "${name}" name)
  file(READ "${picture}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "const unsigned char k${name}[${size}] = {\n    ${bytes}\n};\n\n")
  string(APPEND entries "    {\"${name}\", k${name}},\n")
endforeach()

file(WRITE "${OUTPUT}.new" "// Generated from resources/weapons/*.jpg at build time; do not edit.
#include \"report/weapon_pictures.h\"

namespace fragtally {
namespace {

${arrays}const WeaponPicture kPictures[] = {
${entries}};

}  // namespace

std::span<const WeaponPicture> weaponPictures() { return kPictures; }

}  // namespace fragtally
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
