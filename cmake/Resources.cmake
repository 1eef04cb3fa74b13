# Windows resources of the three programs, compiled with windres from resources/: the icon, a
# manifest and the version information. The version is the project's (project(VERSION) in the
# top-level CMakeLists.txt), the one place it is written.
set(TAMSEL_RESOURCES_DIR "${PROJECT_SOURCE_DIR}/resources")
set(TAMSEL_ICON_FILE "${TAMSEL_RESOURCES_DIR}/TamselOrry.ico")
set(TAMSEL_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
string(REPLACE "." "," TAMSEL_VERSION_COMMAS "${TAMSEL_VERSION_QUAD}")

# Common Controls 6 (visual styles): the buttons, lists and boxes are drawn in the look of the
# Windows they run on, as every native program's are, instead of the classic 3D look of
# Windows 95 inside a modern window frame. Compared under Wine in both looks, the windows keep
# their layout, every caption stays whole (the caption test passes either way) and focus and
# default buttons read as well; only the drawing of the controls changes. All controls are
# user32's own classes (button, static, edit, list and combo box), which Windows redirects to
# version 6 by this manifest entry alone from Vista on, the oldest system the manifest names.
set(TAMSEL_COMMON_CONTROLS [=[
  <dependency>
    <dependentAssembly>
      <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0"
                        processorArchitecture="x86" publicKeyToken="6595b64144ccf1df" language="*"/>
    </dependentAssembly>
  </dependency>]=])

# tamsel_program_resources(TARGET FILE DESCRIPTION LEVEL): gives the program TARGET, shipped as
# FILE, the icon, a manifest asking for the execution level LEVEL and version information that
# describes it as DESCRIPTION.
function(tamsel_program_resources target file description level)
  set(TAMSEL_RESOURCE_FILE "${file}")
  string(REGEX REPLACE "\\.exe$" "" TAMSEL_RESOURCE_NAME "${file}")
  set(TAMSEL_RESOURCE_DESCRIPTION "${description}")
  set(TAMSEL_RESOURCE_LEVEL "${level}")
  set(out "${CMAKE_CURRENT_BINARY_DIR}/resources/${TAMSEL_RESOURCE_NAME}")
  set(TAMSEL_MANIFEST_FILE "${out}.manifest")
  configure_file("${TAMSEL_RESOURCES_DIR}/program.manifest.in" "${TAMSEL_MANIFEST_FILE}" @ONLY)
  configure_file("${TAMSEL_RESOURCES_DIR}/program.rc.in" "${out}.rc" @ONLY)
  target_sources(${target} PRIVATE "${out}.rc")
  # windres reads the icon and the manifest; a change of either compiles the resources again.
  set_property(SOURCE "${out}.rc" TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS
               "${TAMSEL_ICON_FILE}" "${TAMSEL_MANIFEST_FILE}")
endfunction()

# The installer and the uninstaller write HKEY_LOCAL_MACHINE: they run elevated. The
# application does not need to.
tamsel_program_resources(setup_program Setup.exe "Tamsel Orry Setup" requireAdministrator)
tamsel_program_resources(uninstall_program uninstall.exe "Tamsel Orry Uninstall"
                         requireAdministrator)
tamsel_program_resources(sample_program TamselOrry.exe "Tamsel Orry" asInvoker)
