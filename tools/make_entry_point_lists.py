#!/usr/bin/env python3
"""Writes the OpenGL and OpenAL entry-point lists from the system's Khronos headers.

The lists are X-macros: one header holds every name once, and the tables, the loaders
and the call macros are all expanded from it, so they cannot drift apart.

    python3 tools/make_entry_point_lists.py   # rewrites render/GLEntryPointList.h and audio/ALEntryPointList.h
"""
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
GLCOREARB = Path("/usr/include/GL/glcorearb.h")
GL_H = Path("/usr/include/GL/gl.h")
AL_H = Path("/usr/include/AL/al.h")
ALC_H = Path("/usr/include/AL/alc.h")

CORE_VERSIONS = re.compile(r"GL_VERSION_(1_[0-5]|2_[01]|3_[0-3])$")
PACKED_VECTOR_FORMS = {f"glVertexAttribP{n}uiv" for n in range(1, 5)}
# glGetPointerv came back into the core headers with debug output; the game counts it
# among the removed 1.1 functions, where it was born.
LEGACY_ONLY = {"glGetPointerv"}

RENDERER_SETTINGS = ["alDopplerFactor", "alDopplerVelocity", "alSpeedOfSound", "alDistanceModel"]

EXTENSIONS = [
    "glReleaseShaderCompiler", "glShaderBinary", "glGetShaderPrecisionFormat",
    "glDepthRangef", "glClearDepthf",
    "glInvalidateTexSubImage", "glInvalidateTexImage", "glInvalidateBufferSubData",
    "glInvalidateBufferData", "glInvalidateFramebuffer", "glInvalidateSubFramebuffer",
    "glTexStorage1D", "glTexStorage2D", "glTexStorage3D",
    "glTextureStorage1DEXT", "glTextureStorage2DEXT", "glTextureStorage3DEXT",
    "glBufferStorage", "glNamedBufferStorageEXT",
    "glDrawArraysIndirect", "glDrawElementsIndirect",
    "glMultiDrawArraysIndirect", "glMultiDrawElementsIndirect",
    "glGetTextureHandleARB", "glGetTextureSamplerHandleARB",
    "glMakeTextureHandleResidentARB", "glMakeTextureHandleNonResidentARB",
    "glGetImageHandleARB", "glMakeImageHandleResidentARB", "glMakeImageHandleNonResidentARB",
    "glUniformHandleui64ARB", "glUniformHandleui64vARB",
    "glProgramUniformHandleui64ARB", "glProgramUniformHandleui64vARB",
    "glIsTextureHandleResidentARB", "glIsImageHandleResidentARB",
    "glVertexAttribL1ui64ARB", "glVertexAttribL1ui64vARB", "glGetVertexAttribLui64vARB",
    "glTexPageCommitmentARB", "glTexturePageCommitmentEXT",
]


def core_names():
    text = GLCOREARB.read_text()
    parts = re.split(r"#ifndef (GL_\w+)\n#define \1 1\n", text)
    names = set()
    for block_name, body in zip(parts[1::2], parts[2::2]):
        if CORE_VERSIONS.match(block_name):
            names |= set(re.findall(r"GLAPI [^;]*?APIENTRY (gl\w+) *\(", body))
    return sorted(names - PACKED_VECTOR_FORMS - LEGACY_ONLY)


def legacy_names(core):
    text = GL_H.read_text()
    cut = text.index(" * OpenGL 1.2\n")
    names = set(re.findall(r"GLAPI [^;]*?GLAPIENTRY (gl\w+) *\(", text[:cut]))
    return sorted(names - set(core))


def al_names(path, prefix, api):
    return re.findall(rf"{api} [^;]*?{api}ENTRY ({prefix}\w+) *\(", path.read_text())


def x_macro(macro, names):
    body = " \\\n".join(f"    X({n})" for n in names)
    return f"#define {macro}(X) \\\n{body}\n"


def call_macros(table, names):
    return "".join(f"#define {n}(...) {table}.{n}(__VA_ARGS__)\n" for n in names)


def write(path, text):
    path.write_text(text)
    print(f"wrote {path.relative_to(ROOT)}")


def main():
    core = core_names()
    legacy = legacy_names(core)
    missing = [n for n in EXTENSIONS if n in core or n in legacy]
    if missing:
        sys.exit(f"extension names already in another set: {missing}")
    header = "// Made by tools/make_entry_point_lists.py from the system's Khronos headers; do not edit.\n// clang-format off\n"
    write(ROOT / "render/GLEntryPointList.h",
          header + "#pragma once\n\n"
          f"// {len(core)} OpenGL 3.3 core-profile functions.\n" + x_macro("GL_CORE_ENTRY_POINTS", core) +
          f"\n// {len(legacy)} OpenGL 1.0 and 1.1 functions that the core profile removed.\n"
          + x_macro("GL_LEGACY_ENTRY_POINTS", legacy) +
          f"\n// {len(EXTENSIONS)} later or optional functions, loaded but never called.\n"
          + x_macro("GL_EXTENSION_ENTRY_POINTS", EXTENSIONS))
    write(ROOT / "render/GLCallMacros.h",
          header + "// Every call by a standard name goes through the published tables.\n#pragma once\n\n"
          + call_macros("PublishedGLCore", core) + call_macros("PublishedGLLegacy", legacy))
    al = al_names(AL_H, "al", "AL_API")
    # OpenAL Soft declares the four renderer-wide settings first; OpenAL 1.1 lists them last.
    al = [n for n in al if n not in RENDERER_SETTINGS] + RENDERER_SETTINGS
    alc = al_names(ALC_H, "alc", "ALC_API")
    write(ROOT / "audio/ALEntryPointList.h",
          header + "#pragma once\n\n"
          f"// The {len(al)} al functions of OpenAL 1.1, in header order.\n" + x_macro("AL_ENTRY_POINTS", al) +
          f"\n// The {len(alc)} alc functions of OpenAL 1.1, capture included, in header order.\n"
          + x_macro("ALC_ENTRY_POINTS", alc))
    write(ROOT / "audio/ALCallMacros.h",
          header + "// Every call by a standard name goes through the published table.\n#pragma once\n\n"
          + call_macros("PublishedAL", al + alc))


if __name__ == "__main__":
    main()
