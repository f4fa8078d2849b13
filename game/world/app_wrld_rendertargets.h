#pragma once
// The off-screen set the shadow map and the post-processing each draw into: a configuration with
// one colour texture and one depth buffer, owned by the render target manager.

class QRVISXRenderTargetConfiguration;
class QRVISXRenderTargetTexture;
class QRVISXRenderTargetBuffer;

// Gives the set back to the render target manager (when the visual module still exists) and
// clears the three references.
void releaseRenderTargetSet(QRVISXRenderTargetConfiguration*& configuration, QRVISXRenderTargetTexture*& color,
                            QRVISXRenderTargetBuffer*& depth);
