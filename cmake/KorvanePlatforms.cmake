# The platforms that the drivers and orvalis build against: the installed Arnold SDK and
# Maya, where their locations are given, else the stand-ins in platform/.
#
#   ARNOLD_LOCATION   the Arnold SDK: include/ai.h ..., bin/libai.so (Windows: lib/ai.lib)
#   MAYA_LOCATION     the Maya installation: lib/libOpenMaya.so ... (Windows: lib/OpenMaya.lib)
#   DEVKIT_LOCATION   the Maya devkit (devkitBase): include/maya/*.h; by default
#                     MAYA_LOCATION, whose include/ holds the headers too
#
# Each is a CMake setting (-DARNOLD_LOCATION=...) or, where that is not given, the
# environment variable of the same name, read at every configure. A relative one starts
# at the folder that cmake runs in; an empty one is not given. A location is taken as it stands: one that holds no such SDK stops the configure.
#
# With a location, the targets that the platform's users link (ai; Foundation, OpenMaya,
# OpenMayaUI, OpenMayaRender) are the SDK's libraries, and the platform's stand-in is
# neither built nor installed. The host has loaded those libraries before it loads a
# driver or orvalis (kick and Maya's Arnold plug-in load libai; Maya its own libraries),
# so nothing of ours needs a run path to them.
#
# Sets KORVANE_ARNOLD_STANDIN and KORVANE_MAYA_STANDIN, ON where the stand-in is used, and
# KORVANE_DRIVERS_ON_STANDIN and KORVANE_ORVALIS_ON_STANDIN, ON where the drivers (orvalis)
# are built, against the stand-in: what their tests and benchmarks drive them through.

set(KORVANE_MAYA_LIBRARIES Foundation OpenMaya OpenMayaUI OpenMayaRender)

# korvane_location(<name> <out>): the location named <name>, from the CMake setting or
# else the environment, a relative one taken from the folder that cmake runs in; empty
# where neither gives one.
function(korvane_location name out)
  if(DEFINED ${name})
    set(value "${${name}}")
  else()
    set(value "$ENV{${name}}")
  endif()
  if(NOT value STREQUAL "" AND NOT IS_ABSOLUTE "${value}")
    # The folder that cmake runs in is that of a script that it runs.
    set(script "${CMAKE_BINARY_DIR}/CMakeFiles/korvane_working_folder.cmake")
    file(WRITE "${script}" "message(\"\${CMAKE_CURRENT_SOURCE_DIR}\")\n")
    execute_process(COMMAND "${CMAKE_COMMAND}" -P "${script}" ERROR_VARIABLE base
                    ERROR_STRIP_TRAILING_WHITESPACE)
    get_filename_component(value "${value}" ABSOLUTE BASE_DIR "${base}")
  endif()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

# korvane_require_files(<setting text> <folder> <what> <relative paths...>): stops the
# configure with one line where a file is missing from the folder.
function(korvane_require_files setting folder what)
  set(missing "")
  foreach(file IN LISTS ARGN)
    if(NOT EXISTS "${folder}/${file}")
      list(APPEND missing "${file}")
    endif()
  endforeach()
  if(missing)
    list(JOIN missing ", " missing)
    korvane_fatal("${setting} is ${folder}, which holds no ${what}: missing ${missing}")
  endif()
endfunction()

# korvane_imported_library(<target> <folder> <name>): the SDK's shared library <name> as
# an imported target: lib<name>.so in <folder> on Linux; on Windows the import library
# lib/<name>.lib beside that folder's DLL.
function(korvane_imported_library target folder name)
  add_library(${target} SHARED IMPORTED GLOBAL)
  if(WIN32)
    set_target_properties(${target} PROPERTIES
      IMPORTED_IMPLIB "${folder}/${name}.lib"
      IMPORTED_LOCATION "${folder}/../bin/${name}.dll")
  else()
    set_target_properties(${target} PROPERTIES
      IMPORTED_LOCATION "${folder}/lib${name}.so")
  endif()
endfunction()

set(KORVANE_ARNOLD_STANDIN ON)
if(KORVANE_DRIVERS)
  korvane_location(ARNOLD_LOCATION arnold)
  if(arnold)
    if(WIN32)
      set(arnold_library lib/ai.lib)
      set(arnold_library_dir "${arnold}/lib")
    else()
      set(arnold_library bin/libai.so)
      set(arnold_library_dir "${arnold}/bin")
    endif()
    korvane_require_files(ARNOLD_LOCATION "${arnold}" "Arnold SDK" include/ai.h
                          ${arnold_library})
    korvane_imported_library(ai "${arnold_library_dir}" ai)
    set_target_properties(ai PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${arnold}/include")
    set(KORVANE_ARNOLD_STANDIN OFF)
    message(STATUS "Arnold: the SDK in ${arnold} (ARNOLD_LOCATION); the Arnold stand-in, "
                   "and the tests and benchmarks that need it, are not built")
  endif()
endif()

set(KORVANE_MAYA_STANDIN ON)
if(KORVANE_ORVALIS)
  korvane_location(MAYA_LOCATION maya)
  korvane_location(DEVKIT_LOCATION devkit)
  if(devkit AND NOT maya)
    korvane_fatal("DEVKIT_LOCATION is ${devkit}, but MAYA_LOCATION is not set: set it to the "
                  "Maya installation, whose lib/ holds Maya's libraries")
  endif()
  if(maya)
    set(devkit_setting DEVKIT_LOCATION)
    if(NOT devkit)
      set(devkit "${maya}")
      set(devkit_setting "MAYA_LOCATION (DEVKIT_LOCATION not set)")
    endif()
    set(maya_libraries "")
    foreach(name IN LISTS KORVANE_MAYA_LIBRARIES)
      if(WIN32)
        list(APPEND maya_libraries lib/${name}.lib)
      else()
        list(APPEND maya_libraries lib/lib${name}.so)
      endif()
    endforeach()
    korvane_require_files(MAYA_LOCATION "${maya}" "Maya installation" ${maya_libraries})
    korvane_require_files("${devkit_setting}" "${devkit}" "Maya devkit" include/maya/MFnMesh.h)
    foreach(name IN LISTS KORVANE_MAYA_LIBRARIES)
      korvane_imported_library(${name} "${maya}/lib" ${name})
      add_library(Maya::${name} ALIAS ${name})
    endforeach()
    # Every user of the API links Foundation, so it carries the devkit's headers and the
    # definitions that Autodesk's build instructions give a plug-in.
    if(WIN32)
      set(maya_definitions NT_PLUGIN REQUIRE_IOSTREAM _BOOL)
    else()
      set(maya_definitions LINUX REQUIRE_IOSTREAM _BOOL)
    endif()
    set_target_properties(Foundation PROPERTIES
      INTERFACE_INCLUDE_DIRECTORIES "${devkit}/include"
      INTERFACE_COMPILE_DEFINITIONS "${maya_definitions}")
    set(KORVANE_MAYA_STANDIN OFF)
    message(STATUS "Maya: the libraries in ${maya}/lib (MAYA_LOCATION) and the headers in "
                   "${devkit}/include (${devkit_setting}); the Maya stand-in, and the tests "
                   "and benchmarks that need it, are not built")
  endif()
endif()

set(KORVANE_DRIVERS_ON_STANDIN OFF)
if(KORVANE_DRIVERS AND KORVANE_ARNOLD_STANDIN)
  set(KORVANE_DRIVERS_ON_STANDIN ON)
endif()
set(KORVANE_ORVALIS_ON_STANDIN OFF)
if(KORVANE_ORVALIS AND KORVANE_MAYA_STANDIN)
  set(KORVANE_ORVALIS_ON_STANDIN ON)
endif()
