"""Builds hyph._hyph with CMake, over the hyph C++ tree.

In the repository the tree is the folder above this one; a source package
(`python3 -m build --sdist`) carries a copy of what the build needs in cxx/,
so that it builds by itself, offline (see the README's Python section):
    python3 -m pip install --no-build-isolation ./python
"""
import os
import pathlib
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext
from setuptools.command.sdist import sdist

HERE = pathlib.Path(__file__).resolve().parent
# The parts of the C++ tree that building the module needs.
TREE_PARTS = ["CMakeLists.txt", "CMakePresets.json", "VERSION", "LICENSE", "cmake", "include",
              "src", "data"]


def cxx_tree():
    packaged = HERE / "cxx"
    return packaged if (packaged / "VERSION").exists() else HERE.parent


def version():
    return (cxx_tree() / "VERSION").read_text().split()[0]


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        out = pathlib.Path(self.get_ext_fullpath(ext.name)).resolve().parent
        build = pathlib.Path(self.build_temp).resolve() / "cmake"
        subprocess.run(
            ["cmake", "-S", str(HERE), "-B", str(build), "-G", "Ninja",
             "-DCMAKE_BUILD_TYPE=Release", f"-DHYPH_SOURCE_DIR={cxx_tree()}",
             f"-DPython_EXECUTABLE={sys.executable}", f"-DHYPH_PYTHON_OUTPUT_DIR={out}"],
            check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL")
        subprocess.run(["cmake", "--build", str(build), "--target", "hyph_python"]
                       + (["--parallel", jobs] if jobs else []), check=True)


class SourcePackage(sdist):
    """Puts the C++ tree into the source package as cxx/."""

    def make_release_tree(self, base_dir, files):
        super().make_release_tree(base_dir, files)
        tree = cxx_tree()
        for part in TREE_PARTS:
            source, target = tree / part, pathlib.Path(base_dir) / "cxx" / part
            if source.is_dir():
                shutil.copytree(source, target, ignore=shutil.ignore_patterns("__pycache__"))
            else:
                target.parent.mkdir(parents=True, exist_ok=True)
                shutil.copy2(source, target)


setup(version=version(),
      ext_modules=[Extension("hyph._hyph", sources=[])],
      cmdclass={"build_ext": CMakeBuild, "sdist": SourcePackage})
