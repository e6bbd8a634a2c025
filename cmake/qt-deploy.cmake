# What a Windows program built on Qt needs beside it at run time: Qt's DLLs, the platform plugin
# in platforms\, the Windows Vista style in styles\ (Qt finds plugins in those folders of the
# program's own folder). The target qt_runtime copies them into the folder of the programs
# (CMAKE_RUNTIME_OUTPUT_DIRECTORY), once and again only when Qt changes; each program that links
# Qt depends on it (kv_deploy_qt). The test suites get Qt Test and the minimal platform plugin
# too, which the utility does not ship.
#
# The DLLs of Qt and of the suite link the C++ runtime statically (the mingw-w64 toolchain
# files), so no runtime DLL of the compiler has to go beside them; a DLL of the compiler that a
# Qt file imports anyway is found in the compiler's folders and deployed as well.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets OpenGL Test)

set(KV_QT_SHIPPED_DLLS Qt6::Core Qt6::Gui Qt6::Widgets Qt6::OpenGL)
set(KV_QT_SHIPPED_PLUGINS platforms Qt6::QWindowsIntegrationPlugin styles Qt6::QWindowsVistaStylePlugin)
set(KV_QT_TEST_DLLS Qt6::Test)
set(KV_QT_TEST_PLUGINS platforms Qt6::QMinimalIntegrationPlugin)

# The compiler's runtime DLLs a file imports: objdump's import table, each name looked up in the
# compiler's own folders.
function(kv_compiler_runtime_dlls out)
  set(found)
  find_program(KV_OBJDUMP NAMES ${CMAKE_CXX_COMPILER_TARGET}-objdump x86_64-w64-mingw32-objdump objdump)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-search-dirs OUTPUT_VARIABLE dirs)
  string(REGEX MATCH "libraries: =([^\n]*)" _ "${dirs}")
  string(REPLACE ":" ";" libraryDirs "${CMAKE_MATCH_1}")
  foreach(file ${ARGN})
    execute_process(COMMAND ${KV_OBJDUMP} -p ${file} OUTPUT_VARIABLE imports ERROR_QUIET)
    string(REGEX MATCHALL "DLL Name: [^\n]+" names "${imports}")
    foreach(entry ${names})
      string(REPLACE "DLL Name: " "" name "${entry}")
      string(STRIP "${name}" name)
      if(name MATCHES "^(libstdc\\+\\+|libgcc_s|libwinpthread|libssp)")
        find_file(dll_${name} ${name} PATHS ${libraryDirs} /usr/${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32/lib
                  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
        if(dll_${name})
          list(APPEND found ${dll_${name}})
        endif()
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES found)
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Appends to `outputs` the copy of `source` into `folder` (relative to the programs' folder).
function(kv_deploy_file outputs source folder)
  set(destination ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  if(folder)
    set(destination ${destination}/${folder})
  endif()
  get_filename_component(name ${source} NAME)
  add_custom_command(OUTPUT ${destination}/${name} COMMAND ${CMAKE_COMMAND} -E make_directory ${destination}
                     COMMAND ${CMAKE_COMMAND} -E copy ${source} ${destination}/${name} DEPENDS ${source}
                     COMMENT "Deploying ${name}" VERBATIM)
  set(${outputs} ${${outputs}} ${destination}/${name} PARENT_SCOPE)
endfunction()

# The file of an imported Qt target, in the configuration Qt was built in.
function(kv_qt_file out target)
  get_target_property(configs ${target} IMPORTED_CONFIGURATIONS)
  list(GET configs 0 config)
  get_target_property(location ${target} IMPORTED_LOCATION_${config})
  set(${out} ${location} PARENT_SCOPE)
endfunction()

set(deployed)
set(shipped)
foreach(group SHIPPED TEST)
  foreach(target ${KV_QT_${group}_DLLS})
    kv_qt_file(file ${target})
    kv_deploy_file(deployed ${file} "")
    if(group STREQUAL "SHIPPED")
      list(APPEND shipped "|${file}")
    endif()
  endforeach()
  set(plugins ${KV_QT_${group}_PLUGINS})
  while(plugins)
    list(POP_FRONT plugins folder target)
    kv_qt_file(file ${target})
    kv_deploy_file(deployed ${file} ${folder})
    if(group STREQUAL "SHIPPED")
      list(APPEND shipped "${folder}|${file}")
    endif()
  endwhile()
endforeach()

set(shippedFiles ${shipped})
list(TRANSFORM shippedFiles REPLACE "^[^|]*[|]" "")
kv_compiler_runtime_dlls(runtimeDlls ${shippedFiles})
foreach(file ${runtimeDlls})
  kv_deploy_file(deployed ${file} "")
  list(APPEND shipped "|${file}")
endforeach()

add_custom_target(qt_runtime DEPENDS ${deployed})
# The files the installer ships beside Kelvadiag.exe, each "<folder>|<file>" (packaging/).
set_property(GLOBAL PROPERTY KV_QT_SHIPPED_FILES ${shipped})

# A program that links Qt gets its run-time files beside it.
function(kv_deploy_qt target)
  add_dependencies(${target} qt_runtime)
endfunction()
