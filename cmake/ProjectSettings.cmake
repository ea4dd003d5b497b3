# Compile settings every target links: C++20, warnings and hardening.
add_library(rf_settings INTERFACE)
target_compile_features(rf_settings INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
target_compile_options(rf_settings INTERFACE -Wall -Wextra -Wpedantic $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local> -Wnon-virtual-dtor)
if(RF_WERROR)
  target_compile_options(rf_settings INTERFACE -Werror)
endif()
target_compile_definitions(rf_settings INTERFACE _GLIBCXX_ASSERTIONS)
if(NOT RF_SANITIZE)
  target_compile_options(rf_settings INTERFACE $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=3>)
endif()
target_compile_options(rf_settings INTERFACE -fstack-protector-strong)
# Relocations read-only and bound at start, as Debian builds its programs.
add_link_options(-Wl,-z,relro -Wl,-z,now)
# lld links the tests' large debug binaries several times faster than the GNU linker.
option(RF_USE_LLD "Link with lld when the compiler can" ON)
if(RF_USE_LLD)
  include(CheckLinkerFlag)
  check_linker_flag(CXX -fuse-ld=lld RF_HAVE_LLD)
  if(RF_HAVE_LLD)
    add_link_options(-fuse-ld=lld)
  endif()
endif()

if(RF_SANITIZE)
  set(_san -fsanitize=${RF_SANITIZE} -fno-omit-frame-pointer)
  if(RF_SANITIZE MATCHES "undefined")
    list(APPEND _san -fno-sanitize-recover=undefined)
  endif()
  add_compile_options(${_san})
  add_link_options(${_san})
  # Line tables are all a sanitizer's report needs to name functions, files and lines; full debug information
  # adds an eighth to every compile and most of the link.
  add_compile_options(-g1)
endif()

option(RF_UNITY_BUILD "Compile the program's sources in batches and each test program's sources as one" ON)

# Extra settings for the Qt layers.
add_library(rf_qt_settings INTERFACE)
target_compile_definitions(rf_qt_settings INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII
  QT_NO_CONTEXTLESS_CONNECT QT_NO_KEYWORDS QT_NO_FOREACH QT_FORCE_ASSERTS)
target_link_libraries(rf_qt_settings INTERFACE rf_settings)

# Precompiled headers: the Qt Widgets headers are parsed once per tree, not once per source of the Qt
# layers. rf_ui precompiles them and the other Qt libraries, with the same compile flags, reuse its result.
# (Not for the tests: with GoogleTest's headers precompiled, GCC 12 reports false -Warray-bounds errors in
# std::string inlined into test bodies.)
option(RF_PRECOMPILE_HEADERS "Precompile the Qt Widgets headers of the Qt layers" ON)
set(RF_QT_WIDGETS_HEADERS <QApplication> <QCheckBox> <QColor> <QComboBox> <QDialog> <QLabel> <QLineEdit>
  <QMouseEvent> <QPainter> <QPixmap> <QPointer> <QProgressBar> <QRadioButton> <QString> <QTimer> <QWidget>)

function(rf_reuse_precompiled_headers target donor)
  if(RF_PRECOMPILE_HEADERS)
    target_precompile_headers(${target} REUSE_FROM ${donor})
  endif()
endfunction()
