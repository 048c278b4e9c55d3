# The libraries a Windows build of the whole program loads besides the system's: the toolkit's
# (from the Qt for Windows it is configured with) and the compiler's runtime. Sets
#   TAMSEL_WINDOWS_DLL_DIRS      the folders that hold them
#   TAMSEL_WINE_TEST_ENVIRONMENT what a test run under Wine needs to find them, the offscreen
#                                platform and its fonts (Wine hands QT_* variables to no
#                                program, WINEQT_* ones arrive without their WINE prefix)

set(TAMSEL_WINDOWS_DLL_DIRS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(dir "${found}" DIRECTORY)
  get_filename_component(dir "${dir}" REALPATH)
  list(APPEND TAMSEL_WINDOWS_DLL_DIRS "${dir}")
endforeach()
list(REMOVE_DUPLICATES TAMSEL_WINDOWS_DLL_DIRS)

# A host folder as Wine names it: on drive Z:, with backslashes.
function(tamsel_wine_path out path)
  string(REPLACE "/" "\\" windows "Z:${path}")
  set(${out} "${windows}" PARENT_SCOPE)
endfunction()

# The offscreen platform reads the fonts of one folder and knows no substitutes: the folder
# holds the metric-compatible Arial alone, which every family then resolves to.
set(font_dir "${CMAKE_BINARY_DIR}/fonts")
file(GLOB fonts /usr/share/fonts/truetype/liberation2/LiberationSans-*.ttf)
file(MAKE_DIRECTORY "${font_dir}")
foreach(font ${fonts})
  get_filename_component(name "${font}" NAME)
  file(CREATE_LINK "${font}" "${font_dir}/${name}" SYMBOLIC)
endforeach()

set(wine_dirs)
foreach(dir ${TAMSEL_WINDOWS_DLL_DIRS})
  tamsel_wine_path(dir "${dir}")
  list(APPEND wine_dirs "${dir}")
endforeach()
string(REPLACE ";" "\\;" wine_dirs "${wine_dirs}")
tamsel_wine_path(wine_font_dir "${font_dir}")
set(TAMSEL_WINE_TEST_ENVIRONMENT "WINEPATH=${wine_dirs}" "WINEQT_QPA_PLATFORM=offscreen"
    "WINEQT_QPA_FONTDIR=${wine_font_dir}")
