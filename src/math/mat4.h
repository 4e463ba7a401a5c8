// Mat4: a 4x4 matrix as a value, composed on the CPU to exactly the floats
// the fixed-function GL (Mesa) and GLU hold after the same calls, so a draw
// handed the value pictures what the matrix stack pictured, bit for bit.
//
// Column-major like GL: m[col * 4 + row], translation in m[12..14]. Every
// operation returns current * op, as GL post-multiplies the current matrix.
#pragma once

struct Mat4 {
  float m[16];
};

Mat4 identityMatrix();

// glTranslatef: only column 3 changes, as in GL.
Mat4 translated(const Mat4& a, float x, float y, float z);
// glRotatef: angle in degrees about (x, y, z), which need not be unit length;
// a zero angle or an axis shorter than 1e-4 leaves a unchanged.
Mat4 rotated(const Mat4& a, float angleDegrees, float x, float y, float z);
// glScalef.
Mat4 scaled(const Mat4& a, float x, float y, float z);
// glMultMatrixf: a * b.
Mat4 multiplied(const Mat4& a, const Mat4& b);

// glOrtho; a degenerate box (left == right, bottom == top or near == far)
// leaves a unchanged, as GL refuses it.
Mat4 ortho(const Mat4& a, double left, double right, double bottom, double top,
           double zNear, double zFar);
// gluPerspective: fovy in degrees; a zero depth range, aspect or fovy
// leaves a unchanged.
Mat4 perspective(const Mat4& a, double fovyDegrees, double aspect, double zNear, double zFar);
// gluLookAt.
Mat4 lookAt(const Mat4& a, double eyeX, double eyeY, double eyeZ, double centerX,
            double centerY, double centerZ, double upX, double upY, double upZ);
