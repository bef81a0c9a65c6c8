# Precompiled Qt headers, shared: each target takes the precompiled header of one of a
# few host targets instead of parsing the Qt headers again in each of its sources.
#
# GCC takes a precompiled header only where every macro defined on the command line when
# it was made is defined alike, and no macro that it tests is defined beyond them (clang,
# in the fuzz build, is no stricter); so a
# host is made with the fewest definitions its users share: the program's own code
# (QT_NO_CAST_FROM_ASCII and its kin, src/ and tools/) or the tests and benchmarks
# without them, each with Qt Core alone or with Qt Widgets.
# A header that cannot be taken is an error (-Werror=invalid-pch), not a quietly slower
# build.
#
# ccache compiles a source that uses a precompiled header again each time, so with
# ccache as the compiler launcher LP_PCH is off by default (and a build without them
# also keeps each source's own includes honest).

set(lp_pch_core_headers
    <QByteArray> <QCoreApplication> <QDateTime> <QDir> <QElapsedTimer> <QFile> <QFileInfo>
    <QJsonArray> <QJsonDocument> <QJsonObject> <QList> <QObject> <QPointer>
    <QRegularExpression> <QString> <QStringList> <QStringView> <QTextStream> <QTimeZone>
    <QTimer> <algorithm> <functional> <memory> <optional> <vector>)
set(lp_pch_widgets_headers
    ${lp_pch_core_headers}
    <QAction> <QApplication> <QCloseEvent> <QColor> <QComboBox> <QFont> <QFontMetricsF>
    <QGridLayout> <QGroupBox> <QHBoxLayout> <QHeaderView> <QIcon> <QLabel> <QLineEdit>
    <QMenuBar> <QMouseEvent> <QPainter> <QPixmap> <QPushButton> <QTableView> <QToolBar>
    <QVBoxLayout> <QWidget>)
# QtTest itself stays out: its headers test QT_NETWORK_LIB and the per-folder
# QT_TESTCASE_SOURCEDIR, which differ from test to test.
set(lp_pch_test_headers ${lp_pch_widgets_headers})

# Whether `target` is compiled with Qt `module` (Core: any Qt module), from what it links
# itself or what the project's libraries it links pass on (INTERFACE_LINK_LIBRARIES).
function(lp_pch_uses target module property out)
    get_property(known GLOBAL PROPERTY lp_pch_${property}_${module}_${target} SET)
    if(known)
        get_property(result GLOBAL PROPERTY lp_pch_${property}_${module}_${target})
        set(${out} ${result} PARENT_SCOPE)
        return()
    endif()
    set(result FALSE)
    get_target_property(libs ${target} ${property})
    foreach(lib IN LISTS libs)
        if(lib STREQUAL "Qt6::${module}" OR (module STREQUAL "Core" AND lib MATCHES "^Qt6::"))
            set(result TRUE)
        elseif(lib MATCHES "^lp_" AND TARGET ${lib})
            lp_pch_uses(${lib} ${module} INTERFACE_LINK_LIBRARIES result)
        endif()
        if(result)
            break()
        endif()
    endforeach()
    set_property(GLOBAL PROPERTY lp_pch_${property}_${module}_${target} ${result})
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# The host of one kind: an object library of one empty source.
function(lp_pch_host name headers qt_modules definitions)
    set(source ${CMAKE_BINARY_DIR}/${name}.cpp)
    if(NOT EXISTS ${source})
        file(WRITE ${source} "// The host of a shared precompiled header.\n")
    endif()
    add_library(${name} OBJECT ${source})
    set_target_properties(${name} PROPERTIES AUTOMOC OFF)
    list(TRANSFORM qt_modules PREPEND Qt6::)
    target_link_libraries(${name} PRIVATE ${qt_modules})
    target_compile_definitions(${name} PRIVATE ${definitions})
    target_precompile_headers(${name} PRIVATE ${headers})
endfunction()


# The targets of `folders` (and their subfolders), each given the header of its kind.
function(lp_share_precompiled_headers)
    get_property(strict DIRECTORY ${PROJECT_SOURCE_DIR}/src PROPERTY COMPILE_DEFINITIONS)
    set(folders ${ARGN})
    while(folders)
        list(POP_FRONT folders folder)
        get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
        list(APPEND folders ${subfolders})
        get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
        foreach(target IN LISTS targets)
            get_target_property(type ${target} TYPE)
            if(NOT type MATCHES "^(STATIC_LIBRARY|EXECUTABLE|OBJECT_LIBRARY)$")
                continue()
            endif()
            lp_pch_uses(${target} Core LINK_LIBRARIES uses_qt)
            if(NOT uses_qt)
                continue()
            endif()
            lp_pch_uses(${target} Widgets LINK_LIBRARIES uses_widgets)
            lp_pch_uses(${target} Test LINK_LIBRARIES uses_test)
            get_property(definitions DIRECTORY ${folder} PROPERTY COMPILE_DEFINITIONS)
            set(host_definitions)
            if("QT_NO_CAST_FROM_ASCII" IN_LIST definitions)
                set(kind strict)
                set(host_definitions ${strict})
            elseif(uses_widgets AND uses_test)
                set(kind test)
            else()
                set(kind plain)
            endif()
            if(kind STREQUAL "test")
                set(host lp_pch_test)
                set(modules Widgets)
                set(headers ${lp_pch_test_headers})
            elseif(uses_widgets)
                set(host lp_pch_${kind}_widgets)
                set(modules Widgets)
                set(headers ${lp_pch_widgets_headers})
            else()
                set(host lp_pch_${kind}_core)
                set(modules Core)
                set(headers ${lp_pch_core_headers})
            endif()
            if(NOT TARGET ${host})
                lp_pch_host(${host} "${headers}" "${modules}" "${host_definitions}")
            endif()
            target_precompile_headers(${target} REUSE_FROM ${host})
            if(type STREQUAL "EXECUTABLE")
                # A program's classes are moc'ed into its own source (#include "x.moc"),
                # so its mocs_compilation.cpp is empty: loading the header costs more.
                get_target_property(binary_dir ${target} BINARY_DIR)
                set_source_files_properties(
                    ${binary_dir}/${target}_autogen/mocs_compilation.cpp
                    TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
            endif()
        endforeach()
    endwhile()
endfunction()
